#include "realTime.h"

#include <sys/mman.h>

#include "RealTimeWrapperLinux.h"

namespace VOK {

void becomeRealTime(IRealTimeFunctions& functions, int priority) {
  sched_param parameter{};
  parameter.sched_priority = priority;
  functions._sched_setscheduler(SCHED_FIFO, &parameter);
#if !defined(__SANITIZE_ADDRESS__)
  functions._mlockall(MCL_CURRENT | MCL_FUTURE);
#endif
}

void becomeRealTime(int priority) {
  RealTimeWrapperLinux functions;
  becomeRealTime(functions, priority);
}

}  // namespace VOK
