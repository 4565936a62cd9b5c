#pragma once

#include "DEV_Config.h"

// Register-level control of the PCA9685 16-channel PWM chip through the
// device layer. Counts are 12-bit (0..4095) per 20 000 us period.

// Puts the chip into its start-up state (prescaler for about 50 Hz, restart,
// totem-pole outputs, channels 0 and 1 at about 1500 us); the result of the
// last register write (0 on success).
UBYTE Init_PCA9685();
// Writes on low, on high, off low, off high to the channel's four registers.
void PCA9685_setPWM(UBYTE channel, UWORD on, UWORD off);
// Pulse width in microseconds; on = 0, off = pulse * 4096 / 20000.
void PCA9685_setServoPulse(UBYTE channel, UWORD pulse);
// Angle 0..180 degrees maps to 500..2480 us; larger angles print
// "Angle out of range " and write nothing.
void PCA9685_Set_Rotation_Angle(UBYTE channel, unsigned angle);
