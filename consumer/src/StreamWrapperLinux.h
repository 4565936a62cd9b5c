#pragma once

#include "IStreamFunctions.h"

// Forwards every call unchanged to the Linux system call of the same name.
class StreamWrapperLinux : public IStreamFunctions {
 public:
  int _socket(int domain, int type, int protocol) override;
  int _setsockopt(int fd, int level, int name, const void* value, socklen_t length) override;
  int _fcntl(int fd, int command, int argument) override;
  int _bind(int fd, const sockaddr* address, socklen_t length) override;
  int _listen(int fd, int backlog) override;
  int _poll(pollfd* fds, nfds_t count, int timeoutMs) override;
  int _accept(int fd, sockaddr* address, socklen_t* length) override;
  int _ioctl(int fd, unsigned long request, int* argument) override;
  ssize_t _send(int fd, const void* buffer, size_t length, int flags) override;
  int _close(int fd) override;
  int _clock_gettime(clockid_t clock, timespec* time) override;
};
