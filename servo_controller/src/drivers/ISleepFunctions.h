#pragma once

#include <ctime>

// The sleep call under the drivers' delays, replaceable so that interrupted
// sleeps can be tested.
class ISleepFunctions {
 public:
  virtual ~ISleepFunctions() = default;
  // nanosleep(2): 0, or -1 with errno set and the time left in remaining.
  virtual int _nanosleep(const timespec* request, timespec* remaining) = 0;
};
