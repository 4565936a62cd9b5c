#pragma once

#include "IRealTimeFunctions.h"

namespace VOK {

// Forwards every call to the Linux function of the same name.
class RealTimeWrapperLinux : public IRealTimeFunctions {
 public:
  int _sched_setscheduler(int policy, const sched_param* parameter) override;
  int _mlockall(int flags) override;
  int _munlockall() override;
};

}  // namespace VOK
