#pragma once

#include "II2cFunctions.h"

// II2cFunctions over the real system calls and libi2c.
class I2cWrapperLinux : public II2cFunctions {
 public:
  int _open(const char* path, int flags) override;
  int _ioctl(int fd, unsigned long request, long argument) override;
  long _write(int fd, const void* buf, size_t count) override;
  long _read(int fd, void* buf, size_t count) override;
  int _close(int fd) override;
  int32_t _i2c_smbus_write_byte(int fd, uint8_t value) override;
  int32_t _i2c_smbus_write_byte_data(int fd, uint8_t command, uint8_t value) override;
  int32_t _i2c_smbus_write_word_data(int fd, uint8_t command, uint16_t value) override;
  int32_t _i2c_smbus_write_block_data(int fd, uint8_t command, uint8_t length,
                                      const uint8_t* values) override;
  int32_t _i2c_smbus_read_byte(int fd) override;
  int32_t _i2c_smbus_read_byte_data(int fd, uint8_t command) override;
  int32_t _i2c_smbus_read_word_data(int fd, uint8_t command) override;
  int32_t _i2c_smbus_read_block_data(int fd, uint8_t command, uint8_t* values) override;
};
