// Built when VOK_App has no test mode: the command line refuses --test, so
// nothing is ever loaded and the receive steps have nothing to run.
#include "testMode.h"

#include <stdexcept>

namespace {

[[noreturn]] void notBuilt() {
  throw std::logic_error("test mode is not built into this VOK_App");
}

}  // namespace

bool testModeAvailable() {
  return false;
}

void launchTestProvider(unsigned) {
  notBuilt();
}

void launchTestConsumer() {
  notBuilt();
}

void receiveTestConsumer() {}

void testReceiveHook(ConfigurationData*, void (*)()) {}

void closeTestProvider() {
  notBuilt();
}

void closeTestConsumer() {
  notBuilt();
}
