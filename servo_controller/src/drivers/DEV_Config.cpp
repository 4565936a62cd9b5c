#include "DEV_Config.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "am65x.h"

namespace {
constexpr int kBus = 4;
constexpr int kAddress = 0x40;
}  // namespace

UBYTE DEV_ModuleInit() { return am65x_i2c_begin(kBus, kAddress) > 0 ? 0 : 1; }

UBYTE DEV_ModuleInit(std::shared_ptr<II2cFunctions> functions) {
  return am65x_i2c_begin(std::move(functions), kBus, kAddress) > 0 ? 0 : 1;
}

UBYTE DEV_ModuleExit() {
  am65x_i2c_end();
  am65x_close();
  return 1;
}

void DEV_Delay_ms(unsigned ms) { delay_ms(ms); }

UBYTE IIC_Write(UBYTE reg, UBYTE value) {
  const uint8_t buf[2] = {reg, value};
  return am65x_i2c_write(buf, 2) == 0 ? 0 : 1;
}

UBYTE IIC_SMBUS_Write(UBYTE reg, UBYTE value) {
  const uint8_t buf[2] = {reg, value};
  return am65x_i2c_smbus_write(buf, 2) == 0 ? 0 : 1;
}

UBYTE IIC_Read(UBYTE reg) {
  uint8_t buf[1] = {reg};
  am65x_i2c_read(buf, 1);
  return buf[0];
}

UBYTE IIC_SMBUS_Read(UBYTE reg) {
  uint8_t buf[2] = {reg, 0};
  am65x_i2c_smbus_read(buf, 2);
  return buf[0];
}

UWORD IIC_ReadWord() {
  uint8_t buf[2] = {0, 0};
  if (am65x_i2c_read(buf, 2) != 0) {
    fprintf(stderr, "IIC_ReadWord error: %s\n", strerror(errno));
    return 0;
  }
  return static_cast<UWORD>(buf[0] * 256 + buf[1]);
}

UWORD IIC_SMBUS_ReadWord(UBYTE reg) {
  uint8_t buf[3] = {reg, 0, 0};
  if (am65x_i2c_smbus_read(buf, 3) != 0) {
    fprintf(stderr, "IIC_SMBUS_ReadWord error: %s\n", strerror(errno));
    return 0;
  }
  return static_cast<UWORD>(buf[0] * 256 + buf[1]);
}
