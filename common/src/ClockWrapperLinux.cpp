#include "ClockWrapperLinux.h"

namespace VOK {

int ClockWrapperLinux::_clock_gettime(int clockId, timespec& result) {
  return ::clock_gettime(static_cast<clockid_t>(clockId), &result);
}

}  // namespace VOK
