#include "Sleep.h"

#include <cerrno>
#include <stdexcept>

#include "SleepWrapperLinux.h"

namespace {
std::shared_ptr<ISleepFunctions> sleeper = std::make_shared<SleepWrapperLinux>();
}

void sleepUseFunctions(std::shared_ptr<ISleepFunctions> functions) {
  if (!functions) {
    throw std::invalid_argument("sleepUseFunctions: functions must not be null");
  }
  sleeper = std::move(functions);
}

ISleepFunctions& sleepFunctions() { return *sleeper; }

void sleepResuming(unsigned ms) {
  timespec request{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  timespec remaining{};
  while (sleeper->_nanosleep(&request, &remaining) == -1 && errno == EINTR) {
    request = remaining;
  }
}
