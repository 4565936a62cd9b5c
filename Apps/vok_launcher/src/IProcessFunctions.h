#pragma once

#include <signal.h>
#include <sys/types.h>
#include <time.h>

// The process calls of the launcher, one forwarding method each, so that the
// supervision logic can run against substitutes. Results and errno are those
// of the call of the same name without the underscore.
class IProcessFunctions {
 public:
  virtual ~IProcessFunctions() = default;
  // fork(2): the child's pid in the parent, 0 in the child, -1 with errno.
  virtual pid_t _fork() = 0;
  // execvp(3): returns only on failure, -1 with errno.
  virtual int _execvp(const char* file, char* const argv[]) = 0;
  // waitpid(2): the pid reaped, 0 with WNOHANG when none has ended, -1 with errno.
  virtual pid_t _waitpid(pid_t pid, int* status, int options) = 0;
  // kill(2): 0, or -1 with errno.
  virtual int _kill(pid_t pid, int sig) = 0;
  // setpgid(2): 0, or -1 with errno.
  virtual int _setpgid(pid_t pid, pid_t pgid) = 0;
  // prctl(PR_SET_CHILD_SUBREAPER, 1): 0, or -1 with errno.
  virtual int _becomeSubreaper() = 0;
  // sigprocmask(2): 0, or -1 with errno.
  virtual int _sigprocmask(int how, const sigset_t* set, sigset_t* old) = 0;
  // signal(2): the previous handler, or SIG_ERR with errno.
  virtual sighandler_t _signal(int sig, sighandler_t handler) = 0;
  // sigtimedwait(2): the signal number, or -1 with errno (EAGAIN: timeout).
  virtual int _sigtimedwait(const sigset_t* set, siginfo_t* info, const timespec* timeout) = 0;
  // sd_notify(3)'s protocol: state as one datagram to the socket NOTIFY_SOCKET
  // names (a leading '@': abstract). 0 also when there is none; -1 with errno.
  virtual int _sdNotify(const char* state) = 0;
};
