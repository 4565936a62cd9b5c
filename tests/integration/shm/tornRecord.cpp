#include "tornRecord.h"

#include <algorithm>
#include <cstring>

void CounterRecord::fill(unsigned long long counter) {
  std::memset(data, static_cast<unsigned char>(counter), kDataBytes);
}

bool CounterRecord::isUniform() const {
  return std::all_of(data, data + kDataBytes, [this](unsigned char b) { return b == data[0]; });
}
