#pragma once

#include <cstdint>

// Back-end of the device layer: keeps the one open I2C descriptor and
// forwards to i2cfunc. Results 0 mean success, 1 failure, unless stated.

// The back-end's version number, 10000.
int am65x_version();
// Nothing to set up; 1.
int am65x_init();
// Nothing to release; 1.
int am65x_close();
// Opens bus and slave address and keeps the descriptor; returns i2c_open's result.
int am65x_i2c_begin(int bus, int address);
// Closes the kept descriptor; i2c_close's result.
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
