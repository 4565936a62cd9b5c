#pragma once

#include "ClockWrapperLinux.h"

#include <gmock/gmock.h>

#include <cstdint>

namespace VOK {

class MockClock : public ClockWrapperLinux {
 public:
  MOCK_METHOD(int, _clock_gettime, (int, timespec&), (override));
};

// Action for _clock_gettime: reports the given time in microseconds.
ACTION_P(ReportMicroseconds, us) {
  arg1.tv_sec = static_cast<time_t>(static_cast<uint64_t>(us) / 1000000U);
  arg1.tv_nsec = static_cast<long>(static_cast<uint64_t>(us) % 1000000U * 1000U);
  return 0;
}

}  // namespace VOK
