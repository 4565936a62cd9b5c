#pragma once

#include <termios.h>

#include <cstddef>

// The system calls under the serial servo link, replaceable so that write
// failures can be tested. Each method behaves as the call of the same name.
class ISerialFunctions {
 public:
  virtual ~ISerialFunctions() = default;
  // open(2); the descriptor or -1 with errno set.
  virtual int _open(const char* path, int flags) = 0;
  // tcgetattr(3); 0 or -1.
  virtual int _tcgetattr(int fd, termios* settings) = 0;
  // tcsetattr(3); 0 or -1.
  virtual int _tcsetattr(int fd, int when, const termios* settings) = 0;
  // tcflush(3); 0 or -1.
  virtual int _tcflush(int fd, int queue) = 0;
  // write(2); the count written or -1.
  virtual long _write(int fd, const void* buf, size_t count) = 0;
  // close(2); 0 or -1.
  virtual int _close(int fd) = 0;
};
