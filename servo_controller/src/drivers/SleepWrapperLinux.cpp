#include "SleepWrapperLinux.h"

int SleepWrapperLinux::_nanosleep(const timespec* request, timespec* remaining) {
  return ::nanosleep(request, remaining);
}
