#include "ServoLine.h"

namespace vok_itest {

namespace {
constexpr size_t kFrame = 15;
}

bool ServoLine::shows(const std::string& frame, std::chrono::steady_clock::time_point deadline) {
  while (std::chrono::steady_clock::now() < deadline) {
    received += serial.read(kFrame, std::chrono::milliseconds(20));
    for (; checked + kFrame <= received.size(); checked += kFrame) {
      frames.insert(received.substr(checked, kFrame));
      if (received.compare(checked, kFrame, frame) == 0) {
        checked += kFrame;
        return true;
      }
    }
  }
  return false;
}

}  // namespace vok_itest
