#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "ConsistentDataTransfer.h"
#include "appSignIn.h"
#include "stopSignalWatcher.h"

namespace servo_controller {

// How the controller waits between two frames: the pass's pause, cut short
// by a new record when it was asked to wake on records (--wake-on-record)
// and the provider announces its records; a provider that does not is read
// by the pass alone.
class RecordWait {
 public:
  // session: whose reader's signal is waited on; it may change when a
  // restarted provider's ring is followed, and the wait follows it.
  // stop: what ends a pause by the pass early.
  RecordWait(const VOK::ConsumerSession& session, bool wakeOnRecord, const VOK::StopSource& stop);
  // Pauses up to limit; a stop ends it early. True when a new record
  // was announced since the last pause.
  bool pause(std::chrono::milliseconds limit);

 private:
  // Takes the signal of the reader in use when it is another one.
  void followReader();

  const VOK::ConsumerSession& session;
  const bool wakeOnRecord;
  const VOK::StopSource& stop;
  std::shared_ptr<VOK::RingSignal> signal;
  uint32_t seen = 0;
};

// Waits while the port still sends earlier frames (at most one pass), so
// that a frame never queues behind another and the record read after it is
// the newest.
void awaitLineRoom(const VOK::StopSource& stop);

}  // namespace servo_controller
