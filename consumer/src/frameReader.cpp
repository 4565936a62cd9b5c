// The reader thread: signs in as consumer of the camera frames, attaches to
// the provider's ring and polls it every 150 ms.
#include <cstring>
#include <exception>
#include <list>
#include <memory>
#include <optional>
#include <string>

#include <unistd.h>

#include "MutexLock.h"
#include "brokerIndex.h"
#include "configurationDataFactory.h"
#include "frameRelay.h"
#include "logFailure.h"
#include "log_datalayer.h"
#include "pollPause.h"
#include "relayState.h"
#include "vokConnection.h"

using namespace frame_relay;

namespace {

const long passPauseNs = 150000000L;

// The first provide of the first provider in the reply, or null when there is none.
const Provides* firstProvide(const VOK::ResponseData* response) {
  if (response == nullptr || response->getDataProviderInfo().empty()) {
    return nullptr;
  }
  const auto& provides = response->getDataProviderInfo().front().getApplicationData().getProvides();
  return provides.empty() ? nullptr : &provides.front();
}

// The broker to sign in to: the one asked for; otherwise, when the host is
// itself a broker (its test mode), that broker, not whichever started last.
unsigned brokerInstance() {
  if (serverInstanceNum != 0) {
    return static_cast<unsigned>(serverInstanceNum);
  }
  return brokerIndexOf(static_cast<int>(::getpid()));
}

VOK::VokConnection signIn(const std::string& component) {
  ConfigurationData config = ConfigurationDataFactory::CreateDefaultConfiguration();
  config.getAppData().setApplicationName(appName);
  VOK::VokConnection connection = VOK::VokConnection::Create(config.toString());
  connection.RequestVokEnvironmentConfig(brokerInstance());
  log(LOG_INFO, component,
      ":socketfd: <" + std::to_string(connection.getConfig().getSocketfd()) +
          "> called with UserDataStruct size: " + std::to_string(UserDataStruct::frameBytes));
  const std::list<Symbol> symbols{Symbol(symbol, symboltype, UserDataStruct::frameBytes, 0)};
  connection.addRequest(Requests("wish to grab the Zentor life video", "0.1", symbols, appName));
  connection.Connect();
  log(LOG_INFO, component + "connect()",
      connection.IsConnected() ? "I am consumer reading providers memory"
                               : "I am consumer, missing any provider");
  return connection;
}

void pollFrames(VOK::ConsistentDataTransfer& reader) {
  auto receiveObject = std::make_unique<UserDataStruct>();
  while (!stopProcess) {
    // A fresh zeroed record each pass: a short frame arrives with zeros after it.
    std::memset(receiveObject->bramixmotionData, 0, sizeof(receiveObject->bramixmotionData));
    if (reader.readUserData(receiveObject.get())) {
      push(reinterpret_cast<unsigned char*>(receiveObject->bramixmotionData),
           UserDataStruct::frameBytes);
      sem_post(&semDataReceived);
    }
    VOK::sleepNanoseconds(passPauseNs);
  }
}

void signInAndRead(const std::string& component) {
  std::optional<VOK::VokConnection> connection;
  std::optional<VOK::ConsistentDataTransfer> reader;
  {
    MutexLock signingIn(mx);
    connection.emplace(signIn(component));
    const Provides* provide = firstProvide(connection->getResponse());
    if (provide == nullptr) {
      log(LOG_ERROR, component, "the reply names no provider with a provide, nothing to attach to");
      return;
    }
    reader.emplace(
        connection->connectToExistingLifetimeBuffer(provide->getShmID(), sizeof(UserDataStruct)));
  }
  pollFrames(*reader);
}

}  // namespace

void* stayAlive(void*) {
  const std::string component = std::string(appName) + isConsumer + "::stayAlive()";
  // Whatever goes wrong ends this thread only, never the host process.
  runLoggingFailure(component, [&] { signInAndRead(component); });
  threads.readerEnds();
  return nullptr;
}
