#include "SerialWrapperLinux.h"

#include <fcntl.h>
#include <unistd.h>

int SerialWrapperLinux::_open(const char* path, int flags) { return ::open(path, flags); }

int SerialWrapperLinux::_tcgetattr(int fd, termios* settings) { return ::tcgetattr(fd, settings); }

int SerialWrapperLinux::_tcsetattr(int fd, int when, const termios* settings) {
  return ::tcsetattr(fd, when, settings);
}

int SerialWrapperLinux::_tcflush(int fd, int queue) { return ::tcflush(fd, queue); }

long SerialWrapperLinux::_write(int fd, const void* buf, size_t count) {
  return ::write(fd, buf, count);
}

int SerialWrapperLinux::_close(int fd) { return ::close(fd); }
