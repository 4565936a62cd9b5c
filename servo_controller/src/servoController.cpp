#include "servoController.h"

#include <csignal>
#include <cstdio>
#include <list>

#include "DEV_Config.h"
#include "Requests.h"
#include "Symbol.h"
#include "UserDataStruct.h"
#include "vokConnection.h"
#include "channelText.h"
#include "configurationDataFactory.h"
#include "log_datalayer.h"
#include "provideSelection.h"
#include "servo.h"
#include "testDataPump.h"

namespace {

const char* const kHandlerComponent = "Remote_open_control_kit_enabled_target_(Zentor)C";
const std::string symbol = "bramixData";
const std::string symboltype = "int8_t";
constexpr unsigned kPollPauseMs = 150;

VOK::VokConnection signIn(const std::string& component) {
  ConfigurationData config = ConfigurationDataFactory::CreateDefaultConfiguration();
  config.getAppData().setApplicationName(appName);
  VOK::VokConnection connection = VOK::VokConnection::Create(config.toString());
  connection.RequestVokEnvironmentConfig(0);
  log(LOG_INFO, component,
      ":socketfd: <" + std::to_string(connection.getConfig().getSocketfd()) +
          "> called with UserDataStruct size: " + std::to_string(UserDataStruct::kChannels));
  std::list<Symbol> symbols{Symbol(symbol, symboltype, UserDataStruct::kChannels, 0)};
  connection.addRequest(Requests("wish to receive remote control", "0.1", symbols, appName));
  connection.Connect();
  log(LOG_INFO, component + "connect()",
      connection.IsConnected() ? "I am consumer reading providers memory"
                               : "I am consumer, missing any provider");
  return connection;
}

void forwardRecords(VOK::ConsistentDataTransfer& reader) {
  UserDataStruct received;
  while (!stopProcess) {
    DEV_Delay_ms(kPollPauseMs);
    if (!reader.readUserData(&received)) {
      continue;
    }
    ServoWrite(&received, false);
    fprintf(stderr, "RECEIVED: %s\n", channelText(received).c_str());
  }
}

}  // namespace

void ctrl_c_handler(int) {
  logSignalSafe(LOG_INFO, kHandlerComponent, "Caught Stop-signal");
  stopProcess = true;
}

void installStopHandler() {
  struct sigaction action {};
  action.sa_handler = ctrl_c_handler;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

int runController(const std::string& component) {
  initDataPumpSemaphore();
  VOK::VokConnection connection = signIn(component);
  std::optional<Provides> provide = selectProvide(connection.getResponse(), component);
  if (!provide) {
    destroyDataPumpSemaphore();
    return 1;
  }
  VOK::ConsistentDataTransfer reader = connection.connectToExistingLifetimeBuffer(provide->getShmID(), sizeof(UserDataStruct));
  if (ServoOpen() == -1) {
    log(LOG_ERROR, component, "SERVO not open");
    stopProcess = true;
  }
  forwardRecords(reader);
  ServoClose();
  destroyDataPumpSemaphore();
  return 0;
}
