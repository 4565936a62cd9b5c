#pragma once

#include "IRealTimeFunctions.h"

namespace VOK {

// The priority the apps ask for.
constexpr int kRealTimePriority = 30;

// Asks for SCHED_FIFO at priority and locks all current and future memory,
// so that paging and scheduling do not stall the app's loop. Without the
// privilege both calls fail and the app runs on as before; nothing is
// reported. Memory is not locked under the address sanitizer, whose shadow
// memory is far too large to lock.
void becomeRealTime(IRealTimeFunctions& functions, int priority = kRealTimePriority);
// The same over the Linux calls.
void becomeRealTime(int priority = kRealTimePriority);

}  // namespace VOK
