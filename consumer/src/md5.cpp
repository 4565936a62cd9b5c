#include "md5.h"

#include <cmath>
#include <cstring>

namespace {

const unsigned shifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// The additive constants: the integer part of 2^32 * |sin(i + 1)|.
struct SineTable {
  uint32_t value[64];
  SineTable() {
    for (int i = 0; i < 64; ++i) {
      value[i] = static_cast<uint32_t>(std::floor(std::fabs(std::sin(i + 1.0)) * 4294967296.0));
    }
  }
};

const SineTable& sineTable() {
  static const SineTable table;
  return table;
}

uint32_t rotateLeft(uint32_t x, unsigned n) { return (x << n) | (x >> (32 - n)); }

uint32_t readLittleEndian(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void writeLittleEndian(unsigned char* p, uint32_t x) {
  for (int i = 0; i < 4; ++i) {
    p[i] = static_cast<unsigned char>(x >> (8 * i));
  }
}

void transform(uint32_t state[4], const unsigned char block[64]) {
  const uint32_t* k = sineTable().value;
  uint32_t m[16];
  for (int i = 0; i < 16; ++i) {
    m[i] = readLittleEndian(block + 4 * i);
  }
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (unsigned i = 0; i < 64; ++i) {
    const unsigned round = i / 16;
    uint32_t f;
    unsigned g;
    switch (round) {
      case 0: f = (b & c) | (~b & d); g = i; break;
      case 1: f = (b & d) | (c & ~d); g = (5 * i + 1) % 16; break;
      case 2: f = b ^ c ^ d; g = (3 * i + 5) % 16; break;
      default: f = c ^ (b | ~d); g = (7 * i) % 16; break;
    }
    const uint32_t rotated = rotateLeft(a + f + k[i] + m[g], shifts[round][i % 4]);
    a = d;
    d = c;
    c = b;
    b += rotated;
  }
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
}

}  // namespace

void MD5Init(MD5_CTX* context) {
  std::memset(context, 0, sizeof(*context));
  context->state[0] = 0x67452301;
  context->state[1] = 0xefcdab89;
  context->state[2] = 0x98badcfe;
  context->state[3] = 0x10325476;
}

void MD5Update(MD5_CTX* context, const unsigned char* input, unsigned length) {
  unsigned used = (context->count[0] >> 3) & 63;
  const uint32_t bits = static_cast<uint32_t>(length) << 3;
  context->count[0] += bits;
  if (context->count[0] < bits) {
    ++context->count[1];
  }
  context->count[1] += static_cast<uint32_t>(length) >> 29;
  while (length > 0) {
    const unsigned take = length < 64 - used ? length : 64 - used;
    std::memcpy(context->buffer + used, input, take);
    used += take;
    input += take;
    length -= take;
    if (used == 64) {
      transform(context->state, context->buffer);
      used = 0;
    }
  }
}

void MD5Final(unsigned char digest[16], MD5_CTX* context) {
  unsigned char lengthBytes[8];
  writeLittleEndian(lengthBytes, context->count[0]);
  writeLittleEndian(lengthBytes + 4, context->count[1]);
  const unsigned used = (context->count[0] >> 3) & 63;
  static const unsigned char padding[64] = {0x80};
  MD5Update(context, padding, used < 56 ? 56 - used : 120 - used);
  MD5Update(context, lengthBytes, 8);
  for (int i = 0; i < 4; ++i) {
    writeLittleEndian(digest + 4 * i, context->state[i]);
  }
  std::memset(context, 0, sizeof(*context));
}

void MD5(const unsigned char* data, unsigned length, unsigned char digest[16]) {
  MD5_CTX context;
  MD5Init(&context);
  MD5Update(&context, data, length);
  MD5Final(digest, &context);
}
