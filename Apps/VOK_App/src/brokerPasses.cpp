#include "brokerPasses.h"

#include "AppConnector.h"
#include "LogConfigData.h"
#include "VOKException.h"
#include "brokerState.h"
#include "log_datalayer.h"
#include "matchMaker.h"
#include "passGuard.h"
#include "testMode.h"

#include <string>

namespace broker {

namespace {

std::string tagOf(int fd) {
  return "<" + std::to_string(fd) + ">";
}

}  // namespace

ConfigurationData* signInOne(int fd, AppList& apps, ISocketHandler* server, unsigned long long lifetime,
                             ISocketHandlerFunctions* functions, const std::string& component) {
  std::unique_ptr<ConfigurationData> record =
      VOK::AppConnector::waitForNewAppToConnect(server, fd, lifetime, stopProcess);
  if (record == nullptr) {
    log(LOG_ERROR, component, "missing ConfigurationData for " + tagOf(fd));
    functions->_close(fd);
    return nullptr;
  }
  log(LOG_INFO, component, "The following application is now connected to VOK_App socketfd: " + tagOf(fd));
  LogConfigData(*record);
  apps.push_back(std::move(record));
  log(LOG_INFO, component, "Print AppDataList information, No of AppData Objects:" + std::to_string(apps.size()));
  return apps.back().get();
}

void sendReply(const ConfigurationData& app, const std::list<VOK::DataProviderInfo>& providers,
               ISocketHandler* server, const std::string& component) {
  const std::string reply = VOK::AppConnector::CreateResponseDataString(app, providers);
  log(LOG_DEBUG, component, reply);
  if (server->sendString(reply, app.getSocketfd()) == SocketStatus::kWouldBlock) {
    throw VOK::VOKException(component + ", Error while sending response string. To long for the underlying buffer");
  }
}

void logProviderCount(const ConfigurationData& app, std::size_t count, const std::string& component) {
  log(LOG_INFO, component,
      std::to_string(count) + " provider for " + tagOf(app.getSocketfd()) + " " + app.getAppData().getApplicationName());
}

void intercept(const std::list<int>* accepted, AppList* apps, ISocketHandler* server,
               unsigned long long lifetime, ISocketHandlerFunctions* functions) {
  const std::string component = caller + ":intercept()";
  guardPass(component, [&] {
    for (int fd : *accepted) {
      if (stopProcess) {
        return;
      }
      signInOne(fd, *apps, server, lifetime, functions, component);
    }
  });
}

void interlock(const AppList* apps, ISocketHandler* server) {
  const std::string component = caller + "::interlock()";
  guardPass(component, [&] {
    for (const auto& app : *apps) {
      if (stopProcess) {
        return;
      }
      const std::list<VOK::DataProviderInfo> providers = VOK::MatchMaker::findDataProviderInfo(*apps, *app);
      logProviderCount(*app, providers.size(), component);
      if (providers.empty()) {
        continue;
      }
      sendReply(*app, providers, server, component);
      testReceiveHook(*app, receiveTestConsumer);
    }
  });
}

void cleanAppList(AppList* apps, ISocketHandlerFunctions* functions) {
  if (apps == nullptr) {
    return;
  }
  for (const auto& record : *apps) {
    functions->_close(record->getSocketfd());
  }
  apps->clear();
}

}  // namespace broker
