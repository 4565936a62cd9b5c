#include "StreamWrapperLinux.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

int StreamWrapperLinux::_socket(int domain, int type, int protocol) {
  return ::socket(domain, type, protocol);
}

int StreamWrapperLinux::_setsockopt(int fd, int level, int name, const void* value,
                                    socklen_t length) {
  return ::setsockopt(fd, level, name, value, length);
}

int StreamWrapperLinux::_fcntl(int fd, int command, int argument) {
  return ::fcntl(fd, command, argument);
}

int StreamWrapperLinux::_bind(int fd, const sockaddr* address, socklen_t length) {
  return ::bind(fd, address, length);
}

int StreamWrapperLinux::_listen(int fd, int backlog) { return ::listen(fd, backlog); }

int StreamWrapperLinux::_poll(pollfd* fds, nfds_t count, int timeoutMs) {
  return ::poll(fds, count, timeoutMs);
}

int StreamWrapperLinux::_accept(int fd, sockaddr* address, socklen_t* length) {
  return ::accept(fd, address, length);
}

int StreamWrapperLinux::_ioctl(int fd, unsigned long request, int* argument) {
  return ::ioctl(fd, request, argument);
}

ssize_t StreamWrapperLinux::_send(int fd, const void* buffer, size_t length, int flags) {
  return ::send(fd, buffer, length, flags);
}

int StreamWrapperLinux::_close(int fd) { return ::close(fd); }

int StreamWrapperLinux::_clock_gettime(clockid_t clock, timespec* time) {
  return ::clock_gettime(clock, time);
}
