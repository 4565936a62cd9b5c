#include "recordWait.h"

namespace VOK {

RecordWait::RecordWait(const ConsumerSession& session, bool wakeOnRecord, const StopSource& stop)
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

bool RecordWait::pause(std::chrono::nanoseconds limit) {
  followReader();
  if (!signal) {
    stop.waitForStop(limit);
    return false;
  }
  const bool moved = signal->waitPast(seen, limit);
  seen = signal->sequence();
  return moved;
}

}  // namespace VOK
