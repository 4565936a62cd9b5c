#pragma once

#include "IVOKBaseDataStruct.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

// A record whose every data byte carries the same counter value, so that a
// copy mixing two writes shows as bytes that differ.
struct CounterRecord : VOK::IVOKBaseDataStruct {
  static constexpr size_t kDataBytes = 1016;
  unsigned char data[kDataBytes] = {};
  std::list<Symbol> getSymbolList() const override { return {}; }

  // Every data byte set to the low byte of counter.
  void fill(unsigned long long counter) { std::memset(data, static_cast<unsigned char>(counter), kDataBytes); }
  // Whether every data byte holds one value.
  bool isUniform() const {
    return std::all_of(data, data + kDataBytes, [this](unsigned char b) { return b == data[0]; });
  }
};
