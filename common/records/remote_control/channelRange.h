#pragma once

#include <algorithm>
#include <cstdint>

// The range a channel value has on the servo board: one hex digit, 0..15.
constexpr int8_t kChannelMin = 0;
constexpr int8_t kChannelMax = 15;

// value moved into 0..15: below 0 becomes 0, above 15 becomes 15. Masking to
// the low bits instead would turn 16 into 0, a full reversal.
constexpr uint8_t channelInRange(int8_t value) {
  return static_cast<uint8_t>(std::clamp(value, kChannelMin, kChannelMax));
}
