#include "am65x.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "Sleep.h"
#include "i2cfunc.h"

namespace {
int dev_handle = 0;
}

int am65x_version() { return 10000; }

int am65x_init() { return 1; }

int am65x_close() { return 1; }

int am65x_i2c_begin(int bus, int address) {
  dev_handle = i2c_open(bus, address);
  return dev_handle;
}

int am65x_i2c_end() { return i2c_close(dev_handle); }

int am65x_i2c_write(const uint8_t* buf, int len) {
  return i2c_write(dev_handle, buf, len) == len ? 0 : 1;
}

int am65x_i2c_read(uint8_t* buf, int len) { return i2c_read(dev_handle, buf, len) == len ? 0 : 1; }

int am65x_i2c_smbus_write(const uint8_t* buf, int len) {
  return i2c_smbus_write(dev_handle, buf, len) < 0 ? 1 : 0;
}

int am65x_i2c_smbus_read(uint8_t* buf, int len) {
  int result = i2c_smbus_read(dev_handle, buf, len);
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
