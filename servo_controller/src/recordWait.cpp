#include "recordWait.h"

#include <algorithm>

#include "DEV_Config.h"
#include "controllerState.h"
#include "servo.h"

namespace servo_controller {

namespace {

// One character at 9600 baud, 8N1: ten bits.
constexpr unsigned kCharacterUs = 1042;
constexpr unsigned kLongestLineWaitMs = 150;

}  // namespace

RecordWait::RecordWait(const VOK::ConsumerSession& session, bool wakeOnRecord)
    : session(session), wakeOnRecord(wakeOnRecord) {
  followReader();
}

void RecordWait::followReader() {
  if (!wakeOnRecord || !session.reader || session.reader->getSignal() == signal) {
    return;
  }
  signal = session.reader->getSignal();
  seen = signal ? signal->sequence() : 0;
}

bool RecordWait::pause(std::chrono::milliseconds limit) {
  followReader();
  if (!signal) {
    DEV_Delay_ms(static_cast<unsigned>(limit.count()));
    return false;
  }
  const bool moved = signal->waitPast(seen, limit);
  seen = signal->sequence();
  return moved;
}

void awaitLineRoom() {
  unsigned waitedMs = 0;
  for (int queued = ServoQueued(); queued > 0 && !stopProcess && waitedMs < kLongestLineWaitMs;
       queued = ServoQueued()) {
    const unsigned drainMs = std::max(1u, (static_cast<unsigned>(queued) * kCharacterUs + 999) / 1000);
    DEV_Delay_ms(drainMs);
    waitedMs += drainMs;
  }
}

}  // namespace servo_controller
