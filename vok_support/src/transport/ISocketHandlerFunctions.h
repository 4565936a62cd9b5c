#pragma once

#include <sys/socket.h>
#include <sys/un.h>

// The socket system calls as one replaceable layer, so that the transport
// logic can run against substitutes. Each method mirrors the call of the same
// name without the underscore.
class ISocketHandlerFunctions {
 public:
  virtual ~ISocketHandlerFunctions() = default;
  // socket(2): a descriptor, or -1 with errno.
  virtual int _socket(int domain, int type, int protocol) = 0;
  // send(2): bytes sent; 0 (not -1) on failure, errno keeps the cause.
  virtual int _send(int fd, const void* buffer, unsigned length, int flags) = 0;
  // recv(2): bytes received; 0 (not -1) on failure, errno keeps the cause.
  virtual int _recv(int fd, char* buffer, unsigned length, int flags) = 0;
  // connect(2): 0, or -1 with errno.
  virtual int _connect(int fd, const sockaddr* address, unsigned length) = 0;
  // accept(2): the new descriptor, or -1 with errno.
  virtual int _accept(int fd, sockaddr* address, unsigned* length) = 0;
  // accept(2) for local addresses.
  virtual int _accept(int fd, sockaddr_un* address, unsigned* length) = 0;
  // listen(2): 0, or -1 with errno.
  virtual int _listen(int fd, int backlog) = 0;
  // bind(2): 0, or -1 with errno.
  virtual int _bind(int fd, const sockaddr* address, unsigned length) = 0;
  // setsockopt(2): 0, or -1 with errno.
  virtual int _setsockopt(int fd, int level, int name, const void* value, unsigned length) = 0;
  // getsockopt(2): 0 with *length set to the bytes written, or -1 with errno.
  virtual int _getsockopt(int fd, int level, int name, void* value, unsigned* length) = 0;
  // close(2): 0, or -1 with errno.
  virtual int _close(int fd) = 0;
  // fcntl(2) with an int argument (F_GETFL, F_SETFL): the result, or -1 with errno.
  virtual int _fcntl(int fd, int command, int argument) = 0;
  // unlink(2): 0, or -1 with errno.
  virtual int _unlink(const char* path) = 0;
};
