#pragma once

#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cstddef>

namespace camera {

// The system calls behind the camera's frame sources: reading a descriptor
// and running a pipeline as a child process.
class ISourceFunctions {
 public:
  virtual ~ISourceFunctions() = default;
  virtual int _open(const char* path, int flags) = 0;
  virtual ssize_t _read(int fd, void* buffer, size_t count) = 0;
  virtual int _poll(pollfd* fds, nfds_t count, int timeoutMs) = 0;
  virtual int _fstat(int fd, struct stat* info) = 0;
  virtual int _close(int fd) = 0;
  virtual int _pipe2(int fds[2], int flags) = 0;
  virtual int _posix_spawn(pid_t* pid, const char* path, const posix_spawn_file_actions_t* actions,
                           const posix_spawnattr_t* attributes, char* const argv[]) = 0;
  virtual int _waitid(idtype_t type, id_t id, siginfo_t* info, int options) = 0;
  virtual int _kill(pid_t pid, int signalNumber) = 0;
};

}  // namespace camera
