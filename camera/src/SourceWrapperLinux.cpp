#include "SourceWrapperLinux.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace camera {

int SourceWrapperLinux::_open(const char* path, int flags) { return ::open(path, flags); }

ssize_t SourceWrapperLinux::_read(int fd, void* buffer, size_t count) { return ::read(fd, buffer, count); }

int SourceWrapperLinux::_poll(pollfd* fds, nfds_t count, int timeoutMs) { return ::poll(fds, count, timeoutMs); }

int SourceWrapperLinux::_fstat(int fd, struct stat* info) { return ::fstat(fd, info); }

int SourceWrapperLinux::_close(int fd) { return ::close(fd); }

int SourceWrapperLinux::_pipe2(int fds[2], int flags) { return ::pipe2(fds, flags); }

// The pipeline gets the camera's environment.
int SourceWrapperLinux::_posix_spawn(pid_t* pid, const char* path, const posix_spawn_file_actions_t* actions,
                                     const posix_spawnattr_t* attributes, char* const argv[]) {
  return ::posix_spawn(pid, path, actions, attributes, argv, environ);
}

int SourceWrapperLinux::_waitid(idtype_t type, id_t id, siginfo_t* info, int options) {
  return ::waitid(type, id, info, options);
}

int SourceWrapperLinux::_kill(pid_t pid, int signalNumber) { return ::kill(pid, signalNumber); }

}  // namespace camera
