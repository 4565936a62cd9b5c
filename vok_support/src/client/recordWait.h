#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "appSignIn.h"
#include "stopSignalWatcher.h"

namespace VOK {

// How a consumer waits between two looks at its ring: a pause, cut short by
// a new record when it was asked to wake on records and the provider
// announces its records; a provider that does not is read by the pause alone.
class RecordWait {
 public:
  // session: whose reader's signal is waited on; it may change when a
  // restarted provider's ring is followed, and the wait follows it.
  // stop: what ends a pause early.
  RecordWait(const ConsumerSession& session, bool wakeOnRecord, const StopSource& stop);
  // Pauses up to limit; a stop ends it early. True when a new record
  // was announced since the last pause.
  bool pause(std::chrono::nanoseconds limit);
  // Whether pauses end on announced records (a signal is in use).
  bool onRecords() const { return signal != nullptr; }

 private:
  // Takes the signal of the reader in use when it is another one.
  void followReader();

  const ConsumerSession& session;
  const bool wakeOnRecord;
  const StopSource& stop;
  std::shared_ptr<RingSignal> signal;
  uint32_t seen = 0;
};

}  // namespace VOK
