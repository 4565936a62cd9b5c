#pragma once

#include "IGuardianFunctions.h"

// IGuardianFunctions over the Linux calls, forwarded unchanged.
class GuardianWrapperLinux : public IGuardianFunctions {
 public:
  int _pipe2(int ends[2], int flags) override;
  pid_t _fork() override;
  pid_t _waitpid(pid_t pid, int* status, int options) override;
  int _close(int fd) override;
};
