#include "I2cDevice.h"

#include <stdexcept>

#include "i2cfunc.h"

I2cDevice::I2cDevice(std::shared_ptr<II2cFunctions> functions, int bus, int address) : sys(std::move(functions)) {
  if (!sys) {
    throw std::invalid_argument("I2cDevice: functions must not be null");
  }
  fd = i2c_open(*sys, bus, address);
}

I2cDevice::~I2cDevice() { close(); }

int I2cDevice::close() {
  if (!isOpen()) {
    return -1;
  }
  const int result = i2c_close(*sys, fd);
  fd = -1;
  return result;
}

// A device that is not open answers every transfer with a failure rather
// than writing to whatever descriptor its number names.
int I2cDevice::write(const uint8_t* buf, int len) { return isOpen() ? i2c_write(*sys, fd, buf, len) : -1; }

int I2cDevice::read(uint8_t* buf, int len) { return isOpen() ? i2c_read(*sys, fd, buf, len) : -1; }

int I2cDevice::smbusWrite(const uint8_t* buf, int len) { return isOpen() ? i2c_smbus_write(*sys, fd, buf, len) : -1; }

int I2cDevice::smbusRead(uint8_t* buf, int len) { return isOpen() ? i2c_smbus_read(*sys, fd, buf, len) : -1; }
