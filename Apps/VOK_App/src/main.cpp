#include "brokerOptions.h"
#include "brokerRun.h"
#include "brokerState.h"
#include "log_datalayer.h"
#include "optionLookup.h"
#include "runApp.h"

#include <unistd.h>

#include <csignal>

using namespace broker;

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
  // SIGINT alone: other signals keep their default actions. A failure (for
  // example a socket file bound by another broker) is logged, status 1.
  return VOK::runApp({caller, callerText, {SIGINT}, false}, [&] { return runBroker(options); });
}
