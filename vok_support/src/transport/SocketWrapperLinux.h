#pragma once

#include "ISocketHandlerFunctions.h"

// The production socket layer: forwards to the Linux system calls.
// _send and _recv report failure as 0 instead of -1 (errno keeps the cause),
// so that for the transport 0 always means "nothing transferred".
class SocketWrapperLinux : public ISocketHandlerFunctions {
 public:
  int _socket(int domain, int type, int protocol) override;
  int _send(int fd, const void* buffer, unsigned length, int flags) override;
  int _recv(int fd, char* buffer, unsigned length, int flags) override;
  int _connect(int fd, const sockaddr* address, unsigned length) override;
  int _accept(int fd, sockaddr* address, unsigned* length) override;
  int _accept(int fd, sockaddr_un* address, unsigned* length) override;
  int _listen(int fd, int backlog) override;
  int _bind(int fd, const sockaddr* address, unsigned length) override;
  int _setsockopt(int fd, int level, int name, const void* value, unsigned length) override;
  int _getsockopt(int fd, int level, int name, void* value, unsigned* length) override;
  int _close(int fd) override;
  int _fcntl(int fd, int command, int argument) override;
  int _unlink(const char* path) override;
};
