#pragma once

#include <cstdint>

#include "II2cFunctions.h"

// Thin wrapper over the Linux I2C character device and the SMBus transfers,
// through the system-call layer sys. Every failure is reported on standard
// error and returned; nothing throws. I2cDevice holds a descriptor for its life.

// Opens "/dev/i2c-<bus>" and selects the slave address; the descriptor, the
// negative open result, or -1 when the address cannot be selected.
int i2c_open(II2cFunctions& sys, int bus, int address);

// One write(2) of len bytes; len on success, -1 otherwise.
int i2c_write(II2cFunctions& sys, int fd, const uint8_t* buf, int len);

// One read(2) of len bytes into buf; len on success, -1 otherwise.
int i2c_read(II2cFunctions& sys, int fd, uint8_t* buf, int len);

// close(2); 0 on success, -1 otherwise.
int i2c_close(II2cFunctions& sys, int fd);

// SMBus write chosen by len, buf[0] being the register: 0 no transfer (-1),
// 1 byte, 2 byte data, 3 word data (buf[1] low, buf[2] high), 4+ block data.
// The libi2c result, negative on failure.
int i2c_smbus_write(II2cFunctions& sys, int fd, const uint8_t* buf, int len);

// SMBus read chosen by len, buf[0] being the register: 0 byte (buf untouched),
// 2 byte data into buf[0], 3 word data into buf[0..1], 1 or 4+ block data into
// buf, at most len bytes of it. The libi2c result (the count for blocks).
int i2c_smbus_read(II2cFunctions& sys, int fd, uint8_t* buf, int len);
