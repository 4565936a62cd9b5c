#pragma once

#include <ctime>

namespace VOK {

// The clock system call, forwarded unchanged so that tests can drive time.
class ClockWrapperLinux {
 public:
  virtual ~ClockWrapperLinux() = default;
  // clock_gettime(2): 0 with result filled, -1 with errno set.
  virtual int _clock_gettime(int clockId, timespec& result);
};

}  // namespace VOK
