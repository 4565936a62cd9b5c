#pragma once

#include <cstdint>
#include <memory>

#include "II2cFunctions.h"

// Back-end of the device layer: keeps the one open I2cDevice and forwards to
// it. Results 0 mean success, 1 failure (also while no device is open), unless stated.

// The back-end's version number, 10000.
int am65x_version();
// Nothing to set up; 1.
int am65x_init();
// Nothing to release; 1.
int am65x_close();
// Opens bus and slave address through functions (a substitute in tests) and
// keeps the device, closing an earlier one; returns i2c_open's result.
int am65x_i2c_begin(std::shared_ptr<II2cFunctions> functions, int bus, int address);
// The same over the Linux calls.
int am65x_i2c_begin(int bus, int address);
// Closes the kept device: i2c_close's result; -1 when none is open.
int am65x_i2c_end();
// Plain write of len bytes; 0 when all were written.
int am65x_i2c_write(const uint8_t* buf, int len);
// Plain read of len bytes; 0 when all were read.
int am65x_i2c_read(uint8_t* buf, int len);
// SMBus write as i2c_smbus_write; 0 when the transfer succeeded.
int am65x_i2c_smbus_write(const uint8_t* buf, int len);
// SMBus read as i2c_smbus_read, printing "am65x reads N"; 0 when it succeeded.
int am65x_i2c_smbus_read(uint8_t* buf, int len);

// One sleep of ms milliseconds (at most 999; larger values are reported and
// cut to 999), not resumed when a signal ends it early; reports a failed
// sleep on standard error. Always 0.
int delay_ms(unsigned ms);
