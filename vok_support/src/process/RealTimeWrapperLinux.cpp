#include "RealTimeWrapperLinux.h"

#include <sys/mman.h>

namespace VOK {

int RealTimeWrapperLinux::_sched_setscheduler(int policy, const sched_param* parameter) {
  return ::sched_setscheduler(0, policy, parameter);
}

int RealTimeWrapperLinux::_mlockall(int flags) { return ::mlockall(flags); }

int RealTimeWrapperLinux::_munlockall() { return ::munlockall(); }

}  // namespace VOK
