#include "i2cfunc.h"

#include <fcntl.h>
#include <linux/i2c-dev.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kBlockMax = 32;

// Reports a failed SMBus transfer; passes the result through.
int reportSmbus(const char* what, int result) {
  if (result < 0) {
    fprintf(stderr, "%s error: %s, %d\n", what, strerror(errno), result);
  }
  return result;
}

}  // namespace

int i2c_open(II2cFunctions& sys, int bus, int address) {
  char path[32];
  snprintf(path, sizeof path, "/dev/i2c-%d", bus);
  int fd = sys._open(path, O_RDWR);
  if (fd < 0) {
    fprintf(stderr, "i2c_open open error: %s\n", strerror(errno));
    return fd;
  }
  if (sys._ioctl(fd, I2C_SLAVE, address) < 0) {
    fprintf(stderr, "i2c_open ioctl error: %s\n", strerror(errno));
    // Nobody else holds the descriptor, so it would leak.
    sys._close(fd);
    return -1;
  }
  return fd;
}

int i2c_write(II2cFunctions& sys, int fd, const uint8_t* buf, int len) {
  if (sys._write(fd, buf, len) != len) {
    fprintf(stderr, "i2c_write error: %s\n", strerror(errno));
    return -1;
  }
  return len;
}

int i2c_read(II2cFunctions& sys, int fd, uint8_t* buf, int len) {
  if (sys._read(fd, buf, len) != len) {
    fprintf(stderr, "i2c_read error: %s\n", strerror(errno));
    return -1;
  }
  return len;
}

int i2c_close(II2cFunctions& sys, int fd) {
  if (sys._close(fd) < 0) {
    fprintf(stderr, "i2c_close error: %s\n", strerror(errno));
    return -1;
  }
  return 0;
}

int i2c_smbus_write(II2cFunctions& sys, int fd, const uint8_t* buf, int len) {
  switch (len) {
    case 0:
      return -1;
    case 1:
      return reportSmbus("i2c_smbus_write byte", sys._i2c_smbus_write_byte(fd, buf[0]));
    case 2:
      return reportSmbus("i2c_smbus_write byte data", sys._i2c_smbus_write_byte_data(fd, buf[0], buf[1]));
    case 3:
      return reportSmbus("i2c_smbus_write word data",
                         sys._i2c_smbus_write_word_data(fd, buf[0], buf[1] + 256 * buf[2]));
    default: {
      // An SMBus block carries at most 32 bytes; libi2c cuts the rest.
      int count = len - 1 > kBlockMax ? kBlockMax : len - 1;
      return reportSmbus("i2c_smbus_write block data", sys._i2c_smbus_write_block_data(fd, buf[0], count, buf + 1));
    }
  }
}

int i2c_smbus_read(II2cFunctions& sys, int fd, uint8_t* buf, int len) {
  fprintf(stderr, "%d bytes request\n", len);
  switch (len) {
    case 0:
      return reportSmbus("i2c_smbus_read byte", sys._i2c_smbus_read_byte(fd));
    case 2: {
      int result = reportSmbus("i2c_smbus_read byte", sys._i2c_smbus_read_byte_data(fd, buf[0]));
      if (result >= 0) {
        buf[0] = static_cast<uint8_t>(result);
      }
      return result;
    }
    case 3: {
      int result = reportSmbus("i2c_smbus_read word data", sys._i2c_smbus_read_word_data(fd, buf[0]));
      if (result >= 0) {
        buf[0] = static_cast<uint8_t>(result & 0xFF);
        buf[1] = static_cast<uint8_t>((result >> 8) & 0xFF);
      }
      return result;
    }
    default: {
      // The chip may answer with up to 32 bytes whatever the caller asked
      // for; only len of them fit into the caller's buffer.
      uint8_t block[kBlockMax];
      int result = reportSmbus("i2c_smbus_read block data", sys._i2c_smbus_read_block_data(fd, buf[0], block));
      if (result > 0) {
        memcpy(buf, block, std::min({result, len, kBlockMax}));
      }
      return result;
    }
  }
}
