#pragma once

#include "ClockWrapperLinux.h"

#include <cstdint>
#include <memory>

namespace VOK {

// Microseconds of the monotonic clock.
class ClockUtils {
 public:
  // Takes ownership of wrapper; throws VOKException when it is null.
  explicit ClockUtils(ClockWrapperLinux* wrapper);
  // Now, in whole microseconds (nanoseconds truncated); throws VOKException
  // with the system's text when the clock cannot be read.
  uint64_t getCurrentTimeInUs();

 private:
  std::unique_ptr<ClockWrapperLinux> wrapper;
};

}  // namespace VOK
