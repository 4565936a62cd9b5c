#include "PCA9685.h"

#include <cstdio>

namespace {

constexpr UBYTE MODE1 = 0x00;
constexpr UBYTE MODE2 = 0x01;
constexpr UBYTE LED0_ON_L = 0x06;
constexpr UBYTE PRE_SCALE = 0xFE;

constexpr unsigned kCounts = 4096;
constexpr unsigned kPeriodUs = 20000;

// Writes the channel's four registers in order; the last write's result.
UBYTE writeChannel(UBYTE channel, UWORD on, UWORD off) {
  UBYTE base = static_cast<UBYTE>(LED0_ON_L + 4 * channel);
  IIC_Write(base, on & 0xFF);
  IIC_Write(base + 1, on >> 8);
  IIC_Write(base + 2, off & 0xFF);
  return IIC_Write(base + 3, off >> 8);
}

}  // namespace

UBYTE Init_PCA9685() {
  IIC_Write(MODE1, 0x00);
  UBYTE old = IIC_Read(MODE1);
  IIC_Write(MODE1, (old & 0x6F) | 0x10);
  IIC_Write(PRE_SCALE, 124);
  IIC_Write(MODE1, old);
  DEV_Delay_ms(200);
  IIC_Write(MODE1, (old & 0x7F) | 0x80);
  IIC_Write(MODE2, 0x04);
  writeChannel(0, 0, 0x133);
  return writeChannel(1, 0, 0x133);
}

void PCA9685_setPWM(UBYTE channel, UWORD on, UWORD off) { writeChannel(channel, on, off); }

void PCA9685_setServoPulse(UBYTE channel, UWORD pulse) {
  PCA9685_setPWM(channel, 0, static_cast<UWORD>(pulse * kCounts / kPeriodUs));
}

void PCA9685_Set_Rotation_Angle(UBYTE channel, unsigned angle) {
  if (angle > 180) {
    puts("Angle out of range ");
    return;
  }
  PCA9685_setServoPulse(channel, static_cast<UWORD>(500 + 11 * angle));
}
