#pragma once

#include <cstddef>
#include <cstdint>

// The system calls and libi2c SMBus transfers under the I2C driver stack, so
// that the stack can run against a substitute (boards without a bus, tests).
// Each method behaves as the call of the same name without the underscore.
class II2cFunctions {
 public:
  virtual ~II2cFunctions() = default;

  // open(2); the descriptor or -1 with errno set.
  virtual int _open(const char* path, int flags) = 0;
  // ioctl(2) with one integer argument; -1 with errno set on failure.
  virtual int _ioctl(int fd, unsigned long request, long argument) = 0;
  // write(2); the count written or -1.
  virtual long _write(int fd, const void* buf, size_t count) = 0;
  // read(2); the count read or -1.
  virtual long _read(int fd, void* buf, size_t count) = 0;
  // close(2); 0 or -1.
  virtual int _close(int fd) = 0;

  // libi2c transfers: negative on failure, otherwise as libi2c documents.
  virtual int32_t _i2c_smbus_write_byte(int fd, uint8_t value) = 0;
  virtual int32_t _i2c_smbus_write_byte_data(int fd, uint8_t command, uint8_t value) = 0;
  virtual int32_t _i2c_smbus_write_word_data(int fd, uint8_t command, uint16_t value) = 0;
  // Writes length bytes (at most 32) from values.
  virtual int32_t _i2c_smbus_write_block_data(int fd, uint8_t command, uint8_t length,
                                              const uint8_t* values) = 0;
  virtual int32_t _i2c_smbus_read_byte(int fd) = 0;
  virtual int32_t _i2c_smbus_read_byte_data(int fd, uint8_t command) = 0;
  virtual int32_t _i2c_smbus_read_word_data(int fd, uint8_t command) = 0;
  // Reads up to 32 bytes into values, which must hold 32; returns the count.
  virtual int32_t _i2c_smbus_read_block_data(int fd, uint8_t command, uint8_t* values) = 0;
};
