#include "brokerOptions.h"

#include "brokerState.h"
#include "log_datalayer.h"
#include "optionLookup.h"

#include <exception>
#include <string>

namespace broker {

namespace {

bool refuse(const std::string& reason) {
  log(LOG_ERROR, caller, reason);
  log(LOG_ERROR, caller, "Terminating VOK because invocation with wrong parameters");
  return false;
}

}  // namespace

VOK::OptionTable brokerOptionTable(BrokerOptions& options) {
  return {
      "VOK_App",
      "[--lifetime|-l MS] [--test|-t N] [--count|-c N] [--open]",
      "The broker: waits for N apps, matches their requests to providers, "
      "then idles until SIGINT.\n"
      "Numbers in C notation (0x10, 010); an option given twice takes its "
      "last value, the long\n"
      "form wins over the short one, and arguments that are no option are "
      "passed over.\n",
      {{"--lifetime", "-l", "MS", "segment lifetime announced to apps, not 0 (default 10)",
        VOK::numberInto(options.lifetime)},
       {"--test", "-t", "N",
        "non-zero: test mode with the stand-in camera and the relay "
        "(default 0)",
        VOK::numberInto(options.test)},
       {"--count", "-c", "N", "apps to wait for before sign-ins are read (default 2)", VOK::numberInto(options.count)},
       {"--open", "", "", "after the first pass, apps may sign in at any time, leave and sign in again",
        VOK::flagInto(options.open)}},
      "Exit status: 0 after SIGINT (or at once in the foreground), 255 for "
      "a refused command line.\n"};
}

bool readBrokerOptions(int argc, const char** argv, BrokerOptions& options) {
  try {
    VOK::lookUpOptions(brokerOptionTable(options), argc, argv);
  } catch (const std::exception& e) {
    return refuse(e.what());
  }
  if (options.lifetime == 0) {
    return refuse("0 is not an allowed parameter for -l / --lifetime.");
  }
  return true;
}

}  // namespace broker
