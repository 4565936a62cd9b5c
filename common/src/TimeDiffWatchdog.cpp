#include "TimeDiffWatchdog.h"

#include "VOKException.h"

namespace VOK {

TimeDiffWatchdog::TimeDiffWatchdog(unsigned long long maximumMs, ClockUtils* clock)
    : maximumUs(static_cast<uint64_t>(maximumMs) * 1000U), clock(clock) {
  if (!this->clock) {
    throw VOKException("ClockUtils object in TimeDiffWatchdog must not be nullptr");
  }
}

TimeDiffWatchdog::~TimeDiffWatchdog() = default;

void TimeDiffWatchdog::Start() { startUs = clock->getCurrentTimeInUs(); }

void TimeDiffWatchdog::Stop() { stopUs = clock->getCurrentTimeInUs(); }

bool TimeDiffWatchdog::TimeOut() const {
  if (stopUs < startUs) {
    throw VOKException("Stop-Time-Stamp in Watchdog less than Start-Time-Stamp");
  }
  return stopUs - startUs > maximumUs;
}

}  // namespace VOK
