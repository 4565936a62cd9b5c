#pragma once

#include <cstdint>

// Running state of one MD5 digest (RFC 1321).
struct MD5_CTX {
  uint32_t state[4];        // A, B, C, D
  uint32_t count[2];        // message length in bits, low word first
  unsigned char buffer[64]; // input not yet processed
};

// Starts a new digest.
void MD5Init(MD5_CTX* context);

// Adds length bytes of input.
void MD5Update(MD5_CTX* context, const unsigned char* input, unsigned length);

// Pads, writes the 16-byte digest and wipes the context.
void MD5Final(unsigned char digest[16], MD5_CTX* context);

// The 16-byte digest of length bytes of data in one call.
void MD5(const unsigned char* data, unsigned length, unsigned char digest[16]);
