#pragma once

#include <cstdint>
#include <memory>

#include "II2cFunctions.h"

// Board-independent device layer over the am65x back-end: the PWM chip on
// I2C bus 4 at slave address 0x40, and the millisecond delay.

using UBYTE = uint8_t;
using UWORD = uint16_t;

// Opens bus 4, address 0x40; 0 when a descriptor was obtained, else 1.
UBYTE DEV_ModuleInit();
// The same through functions (a substitute in tests).
UBYTE DEV_ModuleInit(std::shared_ptr<II2cFunctions> functions);
// Closes the device; always 1.
UBYTE DEV_ModuleExit();
// delay_ms(ms).
void DEV_Delay_ms(unsigned ms);

// Plain write of the two bytes reg, value; 0 on success, 1 otherwise.
UBYTE IIC_Write(UBYTE reg, UBYTE value);
// SMBus write byte data; 0 on success, 1 otherwise.
UBYTE IIC_SMBUS_Write(UBYTE reg, UBYTE value);
// Plain one-byte read (reg is not sent: the chip's register pointer decides);
// the byte read, or reg when nothing was read.
UBYTE IIC_Read(UBYTE reg);
// SMBus read byte data from reg; the byte, or reg when the read failed.
UBYTE IIC_SMBUS_Read(UBYTE reg);
// Plain two-byte read b0, b1; b0 * 256 + b1, or 0 after reporting a failure.
UWORD IIC_ReadWord();
// SMBus read word data from reg as low L, high H; L * 256 + H (swapped), or 0
// after reporting a failure.
UWORD IIC_SMBUS_ReadWord(UBYTE reg);
