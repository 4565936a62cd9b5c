#include "VOKException.h"
#include "brokerOptions.h"
#include "brokerRun.h"
#include "brokerState.h"
#include "log_datalayer.h"
#include "optionLookup.h"

#include <unistd.h>

int main(int argc, char** argv) {
  // --help is answered in the foreground, before anything starts; every other
  // argument is read by the broker itself, after the fork.
  BrokerOptions options;
  const VOK::CommandOutcome screened =
      VOK::screenArguments(brokerOptionTable(options), argc, const_cast<const char**>(argv));
  if (screened.action == VOK::CommandAction::Help) {
    return *VOK::answerInstead(screened);
  }
  // Daemon mode: the command returns at once, the child is the broker. If
  // fork fails, this process carries on as the broker in the foreground.
  if (::fork() > 0) {
    log(LOG_INFO, caller, "going into daemon mode");
    return 0;
  }
  if (!readBrokerOptions(argc, const_cast<const char**>(argv), options)) {
    return -1;
  }
  try {
    return runBroker(options);
  } catch (const VOK::VOKException& e) {
    // The socket could not be set up (for example its file is bound by
    // another broker): report it rather than abort.
    log(LOG_ERROR, caller, e.what());
    return 1;
  }
}
