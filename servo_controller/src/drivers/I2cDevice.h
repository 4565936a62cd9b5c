#pragma once

#include <cstdint>
#include <memory>

#include "II2cFunctions.h"

// One slave on one I2C bus, open for the object's life: "/dev/i2c-<bus>"
// with the slave address selected when made, its descriptor closed when
// destroyed. Failures are reported on standard error and returned, as the
// i2cfunc functions do.
class I2cDevice {
 public:
  // Opens the device through functions; throws std::invalid_argument when functions is null.
  I2cDevice(std::shared_ptr<II2cFunctions> functions, int bus, int address);
  ~I2cDevice();
  I2cDevice(const I2cDevice&) = delete;
  I2cDevice& operator=(const I2cDevice&) = delete;

  // The open descriptor; the negative open result, or -1 when the address could not be selected.
  int descriptor() const { return fd; }
  // Closes the descriptor now: i2c_close's result, -1 when it was not open.
  int close();
  // i2c_write: len when all len bytes were written, -1 otherwise.
  int write(const uint8_t* buf, int len);
  // i2c_read: len when all len bytes were read, -1 otherwise.
  int read(uint8_t* buf, int len);
  // i2c_smbus_write: the transfer's result, negative on failure.
  int smbusWrite(const uint8_t* buf, int len);
  // i2c_smbus_read: the transfer's result, negative on failure.
  int smbusRead(uint8_t* buf, int len);

 private:
  bool isOpen() const { return fd >= 0; }

  std::shared_ptr<II2cFunctions> sys;
  int fd = -1;
};
