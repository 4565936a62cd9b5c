#pragma once

#include "ISleepFunctions.h"

// ISleepFunctions over the real nanosleep.
class SleepWrapperLinux : public ISleepFunctions {
 public:
  int _nanosleep(const timespec* request, timespec* remaining) override;
};
