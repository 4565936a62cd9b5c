#pragma once

#include "ISerialFunctions.h"

// ISerialFunctions over the real system calls.
class SerialWrapperLinux : public ISerialFunctions {
 public:
  int _open(const char* path, int flags) override;
  int _tcgetattr(int fd, termios* settings) override;
  int _tcsetattr(int fd, int when, const termios* settings) override;
  int _tcflush(int fd, int queue) override;
  long _write(int fd, const void* buf, size_t count) override;
  int _close(int fd) override;
};
