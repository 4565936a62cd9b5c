#include "lineRoom.h"

#include <algorithm>

#include "servo.h"

namespace servo_controller {

namespace {

// One character at 9600 baud, 8N1: ten bits.
constexpr unsigned kCharacterUs = 1042;
constexpr unsigned kLongestLineWaitMs = 150;

}  // namespace

void awaitLineRoom(const VOK::StopSource& stop) {
  unsigned waitedMs = 0;
  for (int queued = ServoQueued(); queued > 0 && !stop.stopRequested() && waitedMs < kLongestLineWaitMs;
       queued = ServoQueued()) {
    const unsigned drainMs = std::max(1u, (static_cast<unsigned>(queued) * kCharacterUs + 999) / 1000);
    stop.waitForStop(std::chrono::milliseconds(drainMs));
    waitedMs += drainMs;
  }
}

}  // namespace servo_controller
