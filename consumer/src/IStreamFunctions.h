#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <time.h>

#include <cstddef>

// The system calls under the MJPEG stream server, so that its logic can run
// against substitutes (a failing accept, a full socket, a fast clock).
class IStreamFunctions {
 public:
  virtual ~IStreamFunctions() = default;
  // socket(2): descriptor or -1.
  virtual int _socket(int domain, int type, int protocol) = 0;
  // setsockopt(2): 0 or -1.
  virtual int _setsockopt(int fd, int level, int name, const void* value, socklen_t length) = 0;
  // fcntl(2) with an integer argument: the command's result or -1.
  virtual int _fcntl(int fd, int command, int argument) = 0;
  // bind(2): 0 or -1.
  virtual int _bind(int fd, const sockaddr* address, socklen_t length) = 0;
  // listen(2): 0 or -1.
  virtual int _listen(int fd, int backlog) = 0;
  // poll(2): number of ready descriptors, 0 on time-out, -1 on error.
  virtual int _poll(pollfd* fds, nfds_t count, int timeoutMs) = 0;
  // accept(2): descriptor or -1.
  virtual int _accept(int fd, sockaddr* address, socklen_t* length) = 0;
  // ioctl(2) with an int argument (FIONBIO): 0 or -1.
  virtual int _ioctl(int fd, unsigned long request, int* argument) = 0;
  // send(2): bytes written or -1 with errno.
  virtual ssize_t _send(int fd, const void* buffer, size_t length, int flags) = 0;
  // close(2): 0 or -1.
  virtual int _close(int fd) = 0;
  // clock_gettime(2): 0 or -1.
  virtual int _clock_gettime(clockid_t clock, timespec* time) = 0;
};
