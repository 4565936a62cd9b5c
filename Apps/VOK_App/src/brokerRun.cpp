#include "brokerRun.h"

#include "AppAdmission.h"
#include "SocketWrapperLinux.h"
#include "acceptPhase.h"
#include "brokerPasses.h"
#include "brokerState.h"
#include "log_datalayer.h"
#include "openDoor.h"
#include "socketHandler.h"
#include "stopSignalWatcher.h"
#include "testMode.h"

#include <unistd.h>

#include <list>
#include <memory>
#include <string>

namespace broker {

namespace {

void logBanner() {
  log(LOG_INFO, caller, "|---------------------------------------|");
  log(LOG_INFO, caller, "| This is the VOK App                   |");
  log(LOG_INFO, caller, "|---------------------------------------|");
}

}  // namespace

int runBroker(const BrokerOptions& options) {
  log(LOG_INFO, caller, "SegmentLifeTime:" + std::to_string(options.lifetime));
  logBanner();
  log(LOG_DEBUG, caller, appName + " pid: " + std::to_string(::getpid()));

  auto functions = std::make_shared<SocketWrapperLinux>();
  auto server = std::make_shared<SocketHandler>(functions, 0);
  log(LOG_INFO, caller, "Setup server socket complete: " + std::to_string(server->uxsetupServerSocket()));
  log(LOG_INFO, caller, "Server listening inbound connections: " + std::to_string(server->serverListen()));

  const bool testMode = options.test != 0;
  const bool testConsumer = options.count >= 2;
  if (testMode) {
    launchTestProvider(static_cast<unsigned>(::getpid()));
    if (testConsumer) {
      launchTestConsumer();
    }
  }
  AppAdmission admission(functions, ::geteuid(), ::getegid());
  std::list<int> accepted = acceptApps(*server, admission, options.count, VOK::processStop());
  AppList apps;
  intercept(&accepted, &apps, server.get(), options.lifetime, functions.get());
  interlock(&apps, server.get());
  if (testMode) {
    receiveTestConsumer();
  }
  if (options.open) {
    OpenDoor(apps, *server, functions, options.lifetime).serve(*server, admission);
  } else {
    // The passes ran on this thread and are over, so from here on only the
    // signal can request the stop: block until it comes.
    VOK::processStop().waitForStop();
  }

  log(LOG_INFO, caller, "About to clean up and stop VOK-Process");
  cleanAppList(&apps, functions.get());
  if (testMode) {
    closeTestProvider();
    if (testConsumer) {
      closeTestConsumer();
    }
  }
  return passFailed ? 1 : 0;
}

}  // namespace broker
