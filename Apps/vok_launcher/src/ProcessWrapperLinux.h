#pragma once

#include "IProcessFunctions.h"

// The Linux calls behind IProcessFunctions, forwarded unchanged.
class ProcessWrapperLinux : public IProcessFunctions {
 public:
  pid_t _fork() override;
  int _execvp(const char* file, char* const argv[]) override;
  pid_t _waitpid(pid_t pid, int* status, int options) override;
  int _kill(pid_t pid, int sig) override;
  int _setpgid(pid_t pid, pid_t pgid) override;
  int _becomeSubreaper() override;
  int _sigprocmask(int how, const sigset_t* set, sigset_t* old) override;
  sighandler_t _signal(int sig, sighandler_t handler) override;
  int _sigtimedwait(const sigset_t* set, siginfo_t* info, const timespec* timeout) override;
  int _sdNotify(const char* state) override;
};
