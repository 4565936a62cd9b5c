#include "recordWait.h"

#include <algorithm>

#include "servo.h"

namespace servo_controller {

namespace {

// One character at 9600 baud, 8N1: ten bits.
constexpr unsigned kCharacterUs = 1042;
constexpr unsigned kLongestLineWaitMs = 150;

}  // namespace

RecordWait::RecordWait(const VOK::ConsumerSession& session, bool wakeOnRecord, const VOK::StopSource& stop)
    : session(session), wakeOnRecord(wakeOnRecord), stop(stop) {
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
    stop.waitForStop(limit);
    return false;
  }
  const bool moved = signal->waitPast(seen, limit);
  seen = signal->sequence();
  return moved;
}

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
