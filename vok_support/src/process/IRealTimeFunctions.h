#pragma once

#include <sched.h>

namespace VOK {

// The system calls that make an app real-time, so that tests can see them.
class IRealTimeFunctions {
 public:
  virtual ~IRealTimeFunctions() = default;
  // sched_setscheduler(2) for the calling process: 0 or -1.
  virtual int _sched_setscheduler(int policy, const sched_param* parameter) = 0;
  // mlockall(2): 0 or -1.
  virtual int _mlockall(int flags) = 0;
  // munlockall(2): 0 or -1.
  virtual int _munlockall() = 0;
};

}  // namespace VOK
