#pragma once

#include <cstdint>

#include "ClockWrapperLinux.h"
#include "RosMessages.h"

namespace dds_bridge {

// The ROS time (the real-time clock, as ROS 2 stamps headers) of a moment
// taken on the monotonic clock, monotonicUs microseconds: the two clocks'
// current distance added to it. Throws VOKException with the system's text
// when a clock cannot be read.
builtin_interfaces_msg_dds__Time_ rosTimeOf(VOK::ClockWrapperLinux& clock, uint64_t monotonicUs);

// The ROS time of a moment on the real-time clock, wallClockUs microseconds.
builtin_interfaces_msg_dds__Time_ rosTimeOfWallClock(uint64_t wallClockUs);

}  // namespace dds_bridge
