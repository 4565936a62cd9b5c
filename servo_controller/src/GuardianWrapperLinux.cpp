#include "GuardianWrapperLinux.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

int GuardianWrapperLinux::_pipe2(int ends[2], int flags) { return ::pipe2(ends, flags); }

pid_t GuardianWrapperLinux::_fork() { return ::fork(); }

pid_t GuardianWrapperLinux::_waitpid(pid_t pid, int* status, int options) {
  return ::waitpid(pid, status, options);
}

int GuardianWrapperLinux::_close(int fd) { return ::close(fd); }
