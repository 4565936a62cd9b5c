#pragma once

#include <gmock/gmock.h>

#include "ISerialFunctions.h"

class MockSerialFunctions : public ISerialFunctions {
 public:
  MOCK_METHOD(int, _open, (const char* path, int flags), (override));
  MOCK_METHOD(int, _tcgetattr, (int fd, termios* settings), (override));
  MOCK_METHOD(int, _tcsetattr, (int fd, int when, const termios* settings), (override));
  MOCK_METHOD(int, _tcflush, (int fd, int queue), (override));
  MOCK_METHOD(long, _write, (int fd, const void* buf, size_t count), (override));
  MOCK_METHOD(int, _close, (int fd), (override));
};
