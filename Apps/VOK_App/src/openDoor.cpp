#include "openDoor.h"

#include "AppAdmission.h"
#include "brokerPasses.h"
#include "brokerState.h"
#include "log_datalayer.h"
#include "matchMaker.h"
#include "passGuard.h"
#include "socketHandler.h"
#include "stopSignalWatcher.h"

#include <cerrno>

namespace broker {

namespace {

// How long the open broker sleeps between two looks at its sockets.
constexpr std::chrono::milliseconds kLookInterval{50};

std::string tagOf(const ConfigurationData& app) {
  return "<" + std::to_string(app.getSocketfd()) + "> " + app.getAppData().getApplicationName();
}

bool fullyMatched(const ConfigurationData& app, const std::list<VOK::DataProviderInfo>& providers) {
  return !providers.empty() && providers.size() == app.getAppData().getRequests().size();
}

}  // namespace

OpenDoor::OpenDoor(AppList& apps, ISocketHandler& server, std::shared_ptr<ISocketHandlerFunctions> functions,
                   unsigned long long lifetime)
    : apps(apps), server(server), functions(std::move(functions)), lifetime(lifetime) {
  for (const auto& app : apps) {
    runLogged(caller, [&] {
      if (fullyMatched(*app, VOK::MatchMaker::findDataProviderInfo(apps, *app))) {
        answered.insert(app->getSocketfd());
      }
    });
  }
}

void OpenDoor::serve(SocketHandler& listening, AppAdmission& admission) {
  log(LOG_INFO, caller, "Open: apps may sign in, leave and sign in again until the broker stops");
  while (!stopProcess) {
    sweepDepartures();
    for (int fd = listening.uxserverAccept(); fd > listening.getSocketFd() && !stopProcess;
         fd = listening.uxserverAccept()) {
      if (admission.admit(fd)) {
        signInLate(fd);
      }
    }
    VOK::processStop().waitForStop(kLookInterval);
  }
}

void OpenDoor::signInLate(int fd) {
  const std::string component = caller + ":intercept()";
  const bool read = runLogged(component, [&] {
    const ConfigurationData* app = signInOne(fd, apps, &server, lifetime, functions.get(), component);
    if (app != nullptr && providerNameTaken(*app)) {
      log(LOG_ERROR, caller, "Refused the sign-in " + tagOf(*app) + ": a provider of that name is signed in");
      functions->_close(fd);
      apps.pop_back();
    }
  });
  if (!read) {
    functions->_close(fd);  // a sign-in that does not fit the model; the app was not appended
  }
  answerWaiting();
}

void OpenDoor::sweepDepartures() {
  for (auto app = apps.begin(); app != apps.end();) {
    const int fd = (*app)->getSocketfd();
    if (!peerClosed(fd)) {
      ++app;
      continue;
    }
    log(LOG_INFO, caller, "App " + tagOf(**app) + " left; its provides are forgotten");
    functions->_close(fd);
    answered.erase(fd);
    app = apps.erase(app);
  }
}

void OpenDoor::answerWaiting() {
  const std::string component = caller + "::interlock()";
  for (const auto& app : apps) {
    if (stopProcess) {
      return;
    }
    if (answered.count(app->getSocketfd()) != 0 || app->getAppData().getRequests().empty()) {
      continue;
    }
    runLogged(component, [&] {
      const std::list<VOK::DataProviderInfo> providers = VOK::MatchMaker::findDataProviderInfo(apps, *app);
      if (fullyMatched(*app, providers)) {
        logProviderCount(*app, providers.size(), component);
        sendReply(*app, providers, &server, component);
        answered.insert(app->getSocketfd());
      }
    });
  }
}

bool OpenDoor::providerNameTaken(const ConfigurationData& newcomer) const {
  if (newcomer.getAppData().getProvides().empty()) {
    return false;
  }
  for (const auto& app : apps) {
    if (app.get() != &newcomer && !app->getAppData().getProvides().empty() &&
        app->getAppData().getApplicationName() == newcomer.getAppData().getApplicationName()) {
      return true;
    }
  }
  return false;
}

// Signed-in apps send nothing more, so a readable end without data is a closed one.
bool OpenDoor::peerClosed(int fd) const {
  char byte = 0;
  errno = 0;
  if (functions->_recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) > 0) {
    return false;
  }
  return errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
}

}  // namespace broker
