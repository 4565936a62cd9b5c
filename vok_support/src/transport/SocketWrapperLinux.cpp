#include "SocketWrapperLinux.h"

#include <fcntl.h>
#include <unistd.h>

int SocketWrapperLinux::_socket(int domain, int type, int protocol) {
  return ::socket(domain, type, protocol);
}

int SocketWrapperLinux::_send(int fd, const void* buffer, unsigned length, int flags) {
  ssize_t sent = ::send(fd, buffer, length, flags);
  return sent < 0 ? 0 : static_cast<int>(sent);
}

int SocketWrapperLinux::_recv(int fd, char* buffer, unsigned length, int flags) {
  ssize_t received = ::recv(fd, buffer, length, flags);
  return received < 0 ? 0 : static_cast<int>(received);
}

int SocketWrapperLinux::_connect(int fd, const sockaddr* address, unsigned length) {
  return ::connect(fd, address, length);
}

int SocketWrapperLinux::_accept(int fd, sockaddr* address, unsigned* length) {
  return ::accept(fd, address, length);
}

int SocketWrapperLinux::_accept(int fd, sockaddr_un* address, unsigned* length) {
  return ::accept(fd, reinterpret_cast<sockaddr*>(address), length);
}

int SocketWrapperLinux::_listen(int fd, int backlog) {
  return ::listen(fd, backlog);
}

int SocketWrapperLinux::_bind(int fd, const sockaddr* address, unsigned length) {
  return ::bind(fd, address, length);
}

int SocketWrapperLinux::_setsockopt(int fd, int level, int name, const void* value, unsigned length) {
  return ::setsockopt(fd, level, name, value, length);
}

int SocketWrapperLinux::_getsockopt(int fd, int level, int name, void* value, unsigned* length) {
  return ::getsockopt(fd, level, name, value, length);
}

int SocketWrapperLinux::_close(int fd) {
  return ::close(fd);
}

int SocketWrapperLinux::_fcntl(int fd, int command, int argument) {
  return ::fcntl(fd, command, argument);
}

int SocketWrapperLinux::_unlink(const char* path) {
  return ::unlink(path);
}
