#pragma once

#include <gmock/gmock.h>

#include "II2cFunctions.h"

class MockI2cFunctions : public II2cFunctions {
 public:
  MOCK_METHOD(int, _open, (const char* path, int flags), (override));
  MOCK_METHOD(int, _ioctl, (int fd, unsigned long request, long argument), (override));
  MOCK_METHOD(long, _write, (int fd, const void* buf, size_t count), (override));
  MOCK_METHOD(long, _read, (int fd, void* buf, size_t count), (override));
  MOCK_METHOD(int, _close, (int fd), (override));
  MOCK_METHOD(int32_t, _i2c_smbus_write_byte, (int fd, uint8_t value), (override));
  MOCK_METHOD(int32_t, _i2c_smbus_write_byte_data, (int fd, uint8_t command, uint8_t value),
              (override));
  MOCK_METHOD(int32_t, _i2c_smbus_write_word_data, (int fd, uint8_t command, uint16_t value),
              (override));
  MOCK_METHOD(int32_t, _i2c_smbus_write_block_data,
              (int fd, uint8_t command, uint8_t length, const uint8_t* values), (override));
  MOCK_METHOD(int32_t, _i2c_smbus_read_byte, (int fd), (override));
  MOCK_METHOD(int32_t, _i2c_smbus_read_byte_data, (int fd, uint8_t command), (override));
  MOCK_METHOD(int32_t, _i2c_smbus_read_word_data, (int fd, uint8_t command), (override));
  MOCK_METHOD(int32_t, _i2c_smbus_read_block_data, (int fd, uint8_t command, uint8_t* values),
              (override));
};
