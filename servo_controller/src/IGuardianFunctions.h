#pragma once

#include <sys/types.h>

// The process calls with which the controller starts and ends its
// last-word guardian, replaceable so that their failures can be tested.
// Results and errno are those of the call of the same name.
class IGuardianFunctions {
 public:
  virtual ~IGuardianFunctions() = default;
  // pipe2(2): 0 with both ends in ends, or -1 with errno.
  virtual int _pipe2(int ends[2], int flags) = 0;
  // fork(2): the child's pid in the parent, 0 in the child, -1 with errno.
  virtual pid_t _fork() = 0;
  // waitpid(2): the pid reaped, or -1 with errno.
  virtual pid_t _waitpid(pid_t pid, int* status, int options) = 0;
  // close(2): 0, or -1 with errno.
  virtual int _close(int fd) = 0;
};
