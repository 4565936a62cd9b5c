#include "Sleep.h"

#include <stdexcept>

#include "SleepWrapperLinux.h"
#include "pollPause.h"

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
  VOK::sleepResuming({static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L},
                     [](const timespec* request, timespec* remaining) {
                       return sleeper->_nanosleep(request, remaining);
                     });
}
