#include "am65x.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "I2cDevice.h"
#include "I2cWrapperLinux.h"
#include "Sleep.h"

namespace {
// The one open I2C device; null until am65x_i2c_begin.
std::unique_ptr<I2cDevice> device;
}  // namespace

int am65x_version() { return 10000; }

int am65x_init() { return 1; }

int am65x_close() { return 1; }

int am65x_i2c_begin(std::shared_ptr<II2cFunctions> functions, int bus, int address) {
  device.reset();  // the earlier device is closed before the new one opens
  device = std::make_unique<I2cDevice>(std::move(functions), bus, address);
  return device->descriptor();
}

int am65x_i2c_begin(int bus, int address) { return am65x_i2c_begin(std::make_shared<I2cWrapperLinux>(), bus, address); }

int am65x_i2c_end() {
  if (!device) {
    return -1;
  }
  const int result = device->close();
  device.reset();
  return result;
}

int am65x_i2c_write(const uint8_t* buf, int len) { return device && device->write(buf, len) == len ? 0 : 1; }

int am65x_i2c_read(uint8_t* buf, int len) { return device && device->read(buf, len) == len ? 0 : 1; }

int am65x_i2c_smbus_write(const uint8_t* buf, int len) { return device && device->smbusWrite(buf, len) >= 0 ? 0 : 1; }

int am65x_i2c_smbus_read(uint8_t* buf, int len) {
  const int result = device ? device->smbusRead(buf, len) : -1;
  if (result < 0) {
    return 1;
  }
  fprintf(stderr, "am65x reads %d\n", result);
  return 0;
}

int delay_ms(unsigned ms) {
  if (ms >= 1000) {
    fprintf(stderr, "delay_ms error: delay value needs to be less than 999\n");
    ms = 999;
  }
  timespec request{0, static_cast<long>(ms) * 1000000L};
  if (sleepFunctions()._nanosleep(&request, nullptr) == -1) {
    fprintf(stderr, "delay_ms error: %s\n", strerror(errno));
  }
  return 0;
}
