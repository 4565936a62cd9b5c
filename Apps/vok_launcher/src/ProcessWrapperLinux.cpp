#include "ProcessWrapperLinux.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

pid_t ProcessWrapperLinux::_fork() { return ::fork(); }

int ProcessWrapperLinux::_execvp(const char* file, char* const argv[]) { return ::execvp(file, argv); }

pid_t ProcessWrapperLinux::_waitpid(pid_t pid, int* status, int options) {
  return ::waitpid(pid, status, options);
}

int ProcessWrapperLinux::_kill(pid_t pid, int sig) { return ::kill(pid, sig); }

int ProcessWrapperLinux::_setpgid(pid_t pid, pid_t pgid) { return ::setpgid(pid, pgid); }

int ProcessWrapperLinux::_becomeSubreaper() { return ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0); }

int ProcessWrapperLinux::_sigprocmask(int how, const sigset_t* set, sigset_t* old) {
  return ::sigprocmask(how, set, old);
}

sighandler_t ProcessWrapperLinux::_signal(int sig, sighandler_t handler) { return ::signal(sig, handler); }

int ProcessWrapperLinux::_sigtimedwait(const sigset_t* set, siginfo_t* info, const timespec* timeout) {
  return ::sigtimedwait(set, info, timeout);
}
