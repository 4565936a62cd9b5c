#include "base64.h"

namespace {
const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

void motion_base64_encode(const unsigned char* input, char* output, int count) {
  for (int i = 0; i < count; i += 3) {
    const int left = count - i;
    // Missing bytes of the last group count as zero without being read.
    const unsigned group = static_cast<unsigned>(input[i]) << 16 |
                           (left > 1 ? static_cast<unsigned>(input[i + 1]) << 8 : 0U) |
                           (left > 2 ? static_cast<unsigned>(input[i + 2]) : 0U);
    *output++ = alphabet[(group >> 18) & 63];
    *output++ = alphabet[(group >> 12) & 63];
    *output++ = left > 1 ? alphabet[(group >> 6) & 63] : '=';
    *output++ = left > 2 ? alphabet[group & 63] : '=';
  }
  *output = '\0';
}
