#include "I2cWrapperLinux.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

extern "C" {
#include <i2c/smbus.h>
}

int I2cWrapperLinux::_open(const char* path, int flags) { return ::open(path, flags); }

int I2cWrapperLinux::_ioctl(int fd, unsigned long request, long argument) {
  return ::ioctl(fd, request, argument);
}

long I2cWrapperLinux::_write(int fd, const void* buf, size_t count) {
  return ::write(fd, buf, count);
}

long I2cWrapperLinux::_read(int fd, void* buf, size_t count) { return ::read(fd, buf, count); }

int I2cWrapperLinux::_close(int fd) { return ::close(fd); }

int32_t I2cWrapperLinux::_i2c_smbus_write_byte(int fd, uint8_t value) {
  return ::i2c_smbus_write_byte(fd, value);
}

int32_t I2cWrapperLinux::_i2c_smbus_write_byte_data(int fd, uint8_t command, uint8_t value) {
  return ::i2c_smbus_write_byte_data(fd, command, value);
}

int32_t I2cWrapperLinux::_i2c_smbus_write_word_data(int fd, uint8_t command, uint16_t value) {
  return ::i2c_smbus_write_word_data(fd, command, value);
}

int32_t I2cWrapperLinux::_i2c_smbus_write_block_data(int fd, uint8_t command, uint8_t length,
                                                     const uint8_t* values) {
  return ::i2c_smbus_write_block_data(fd, command, length, values);
}

int32_t I2cWrapperLinux::_i2c_smbus_read_byte(int fd) { return ::i2c_smbus_read_byte(fd); }

int32_t I2cWrapperLinux::_i2c_smbus_read_byte_data(int fd, uint8_t command) {
  return ::i2c_smbus_read_byte_data(fd, command);
}

int32_t I2cWrapperLinux::_i2c_smbus_read_word_data(int fd, uint8_t command) {
  return ::i2c_smbus_read_word_data(fd, command);
}

int32_t I2cWrapperLinux::_i2c_smbus_read_block_data(int fd, uint8_t command, uint8_t* values) {
  return ::i2c_smbus_read_block_data(fd, command, values);
}
