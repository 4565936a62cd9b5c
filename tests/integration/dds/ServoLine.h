#pragma once

#include <chrono>
#include <set>
#include <string>

#include "SerialLine.h"

namespace vok_itest {

// The servo line read in whole frames, from a clean start.
class ServoLine {
 public:
  explicit ServoLine(SerialLine& serial) : serial(serial) {}
  // Whether frame arrives by deadline.
  bool shows(const std::string& frame, std::chrono::steady_clock::time_point deadline);
  // Every distinct frame seen so far.
  std::set<std::string> frames;

 private:
  SerialLine& serial;
  std::string received;
  size_t checked = 0;
};

}  // namespace vok_itest
