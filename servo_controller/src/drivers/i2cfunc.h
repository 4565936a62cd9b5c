#pragma once

#include <cstdint>
#include <memory>

#include "II2cFunctions.h"

// Thin wrapper over the Linux I2C character device and the SMBus transfers.
// Every failure is reported on standard error and returned; nothing throws
// except i2c_useFunctions.

// Replaces the system-call layer used by every function below (default: the
// real one). Throws std::invalid_argument for a null pointer.
void i2c_useFunctions(std::shared_ptr<II2cFunctions> functions);

// Opens "/dev/i2c-<bus>" and selects the slave address; the descriptor, the
// negative open result, or -1 when the address cannot be selected.
int i2c_open(int bus, int address);

// One write(2) of len bytes; len on success, -1 otherwise.
int i2c_write(int fd, const uint8_t* buf, int len);

// One read(2) of len bytes into buf; len on success, -1 otherwise.
int i2c_read(int fd, uint8_t* buf, int len);

// close(2); 0 on success, -1 otherwise.
int i2c_close(int fd);

// SMBus write chosen by len, buf[0] being the register: 0 no transfer (-1),
// 1 byte, 2 byte data, 3 word data (buf[1] low, buf[2] high), 4+ block data.
// The libi2c result, negative on failure.
int i2c_smbus_write(int fd, const uint8_t* buf, int len);

// SMBus read chosen by len, buf[0] being the register: 0 byte (buf untouched),
// 2 byte data into buf[0], 3 word data into buf[0..1], 1 or 4+ block data into
// buf, at most len bytes of it. The libi2c result (the count for blocks).
int i2c_smbus_read(int fd, uint8_t* buf, int len);
