#include "rosTime.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "VOKException.h"

namespace dds_bridge {

namespace {

constexpr int64_t kNsPerSecond = 1000000000;

int64_t nanosecondsOf(VOK::ClockWrapperLinux& clock, int clockId) {
  timespec now{};
  if (clock._clock_gettime(clockId, now) != 0) {
    throw VOK::VOKException(std::string("Reading system-time") + std::strerror(errno));
  }
  return int64_t{now.tv_sec} * kNsPerSecond + now.tv_nsec;
}

}  // namespace

builtin_interfaces_msg_dds__Time_ rosTimeOf(VOK::ClockWrapperLinux& clock, uint64_t monotonicUs) {
  const int64_t monotonicNow = nanosecondsOf(clock, CLOCK_MONOTONIC);
  const int64_t realNow = nanosecondsOf(clock, CLOCK_REALTIME);
  return rosTimeOfWallClock(
      static_cast<uint64_t>((static_cast<int64_t>(monotonicUs) * 1000 + (realNow - monotonicNow)) / 1000));
}

builtin_interfaces_msg_dds__Time_ rosTimeOfWallClock(uint64_t wallClockUs) {
  const int64_t real = static_cast<int64_t>(wallClockUs) * 1000;
  return {static_cast<int32_t>(real / kNsPerSecond), static_cast<uint32_t>(real % kNsPerSecond)};
}

}  // namespace dds_bridge
