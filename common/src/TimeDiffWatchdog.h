#pragma once

#include "ClockUtils.h"

#include <cstdint>
#include <memory>

namespace VOK {

// Stopwatch that tells whether the interval between Start() and Stop() was
// longer than a maximum. Used by one thread at a time.
class TimeDiffWatchdog {
 public:
  // maximumMs: the longest acceptable interval in milliseconds. Takes
  // ownership of clock; throws VOKException when it is null.
  TimeDiffWatchdog(unsigned long long maximumMs, ClockUtils* clock);
  virtual ~TimeDiffWatchdog();
  // Stamps the start of a measurement.
  virtual void Start();
  // Stamps the end of a measurement.
  virtual void Stop();
  // True when the last stop minus start exceeds the maximum (equal is no
  // time-out); false before the first measurement. Throws VOKException when
  // the stop stamp lies before the start stamp.
  virtual bool TimeOut() const;

 private:
  uint64_t startUs = 0;
  uint64_t stopUs = 0;
  uint64_t maximumUs;
  std::unique_ptr<ClockUtils> clock;
};

}  // namespace VOK
