#include "ProcessWrapperLinux.h"

#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

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

int ProcessWrapperLinux::_sdNotify(const char* state) {
  const char* path = std::getenv("NOTIFY_SOCKET");
  if (path == nullptr || path[0] == '\0') {
    return 0;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const size_t length = std::strlen(path);
  if (length >= sizeof(address.sun_path)) {
    errno = ENAMETOOLONG;
    return -1;
  }
  std::memcpy(address.sun_path, path, length);
  if (address.sun_path[0] == '@') {
    address.sun_path[0] = '\0';
  }
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd == -1) {
    return -1;
  }
  const ssize_t sent = ::sendto(fd, state, std::strlen(state), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address),
                                static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length));
  ::close(fd);
  return sent < 0 ? -1 : 0;
}
