#include "ClockUtils.h"

#include "VOKException.h"

#include <cerrno>
#include <cstring>

namespace VOK {

ClockUtils::ClockUtils(ClockWrapperLinux* wrapper) : wrapper(wrapper) {
  if (!this->wrapper) {
    throw VOKException("ClockWrapperLinux must not be a nullptr");
  }
}

uint64_t ClockUtils::getCurrentTimeInUs() {
  timespec now{};
  if (wrapper->_clock_gettime(CLOCK_MONOTONIC, now) != 0) {
    throw VOKException(std::string("Reading system-time") + std::strerror(errno));
  }
  return static_cast<uint64_t>(now.tv_nsec) / 1000U + static_cast<uint64_t>(now.tv_sec) * 1000000U;
}

}  // namespace VOK
