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
#include "appSignIn.h"
#include "frameRelay.h"
#include "logFailure.h"
#include "log_datalayer.h"
#include "pollPause.h"
#include "relayState.h"

using namespace frame_relay;

namespace {

const long passPauseNs = 150000000L;

// The broker to sign in to: the one asked for; otherwise, when the host is
// itself a broker (its test mode), that broker, not whichever started last.
unsigned brokerInstance() {
  if (serverInstanceNum != 0) {
    return static_cast<unsigned>(serverInstanceNum);
  }
  return brokerIndexOf(static_cast<int>(::getpid()));
}

// The first provide of the reply, or nothing (logged) to attach to.
std::optional<Provides> providedFrames(const VOK::ResponseData* reply, const std::string& component) {
  std::optional<Provides> provide = VOK::firstProvide(reply);
  if (!provide) {
    log(LOG_ERROR, component, "the reply names no provider with a provide, nothing to attach to");
  }
  return provide;
}

std::unique_ptr<VOK::ConsumerSession> signIn(const std::string& component) {
  const std::list<Symbol> symbols{Symbol(symbol, symboltype, UserDataStruct::frameBytes, 0)};
  return VOK::signInAsConsumer(
      {appName, "", brokerInstance()},
      Requests("wish to grab the Zentor life video", "0.1", symbols, appName),
      sizeof(UserDataStruct),
      {component, ":socketfd: ", UserDataStruct::frameBytes, component + "connect()"},
      [&component](const VOK::ResponseData* reply) { return providedFrames(reply, component); });
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
  std::unique_ptr<VOK::ConsumerSession> session;
  {
    MutexLock signingIn(mx);
    session = signIn(component);
  }
  if (session->reader) {
    pollFrames(*session->reader);
  }
}

}  // namespace

void* stayAlive(void*) {
  const std::string component = std::string(appName) + isConsumer + "::stayAlive()";
  // Whatever goes wrong ends this thread only, never the host process.
  runLoggingFailure(component, [&] { signInAndRead(component); });
  threads.readerEnds();
  return nullptr;
}
