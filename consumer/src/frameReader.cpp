// The reader thread's work: signs in as consumer of the camera frames,
// attaches to the provider's ring and polls it every 150 ms.
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <list>
#include <memory>
#include <optional>
#include <string>

#include "FrameRelay.h"
#include "appSignIn.h"
#include "brokerIndex.h"
#include "log_datalayer.h"
#include "pollPause.h"

namespace {

const char appName[] = "ZentorMotion(ZM)";
const char component[] = "ZentorMotion(ZM)C::stayAlive()";
const long passPauseNs = 150000000L;

// The broker to sign in to: the one asked for; otherwise, when the host is
// itself a broker (its test mode), that broker, not whichever started last.
unsigned brokerInstance(unsigned asked) {
  return asked != 0 ? asked : brokerIndexOf(static_cast<int>(::getpid()));
}

// The first provide of the reply, or nothing (logged) to attach to.
std::optional<Provides> providedFrames(const VOK::ResponseData* reply) {
  std::optional<Provides> provide = VOK::firstProvide(reply);
  if (!provide) {
    log(LOG_ERROR, component, "the reply names no provider with a provide, nothing to attach to");
  }
  return provide;
}

std::unique_ptr<VOK::ConsumerSession> signIn(unsigned instance) {
  const std::list<Symbol> symbols{Symbol("bramixmotionData", "int8_t", UserDataStruct::frameBytes, 0)};
  return VOK::signInAsConsumer(
      {appName, "", brokerInstance(instance)},
      Requests("wish to grab the Zentor life video", "0.1", symbols, appName),
      sizeof(UserDataStruct),
      {component, ":socketfd: ", UserDataStruct::frameBytes, std::string(component) + "connect()"},
      providedFrames);
}

// The pause after a pass: the pass's length, or with wakeOnRecord, while
// someone watches, until the camera announces its next frame, within the
// pass's length. Unwatched, the relay rests between passes.
void pauseAfterPass(const FrameRelay& relay, const VOK::RingSignal* signal, uint32_t& seen) {
  if (signal == nullptr || !relay.viewed()) {
    VOK::sleepNanoseconds(passPauseNs);
    return;
  }
  signal->waitPast(seen, std::chrono::nanoseconds(passPauseNs));
  seen = signal->sequence();
}

void pollFrames(FrameRelay& relay, VOK::ConsistentDataTransfer& reader) {
  auto receiveObject = std::make_unique<UserDataStruct>();
  const VOK::RingSignal* signal = relay.wakeOnRecord() ? reader.getSignal().get() : nullptr;
  uint32_t seen = signal != nullptr ? signal->sequence() : 0;
  while (!relay.stopping()) {
    // A fresh zeroed record each pass: a short frame arrives with zeros after it.
    std::memset(receiveObject->bramixmotionData, 0, sizeof(receiveObject->bramixmotionData));
    if (reader.readUserData(receiveObject.get())) {
      relay.deliver(reinterpret_cast<unsigned char*>(receiveObject->bramixmotionData),
                    UserDataStruct::frameBytes, reader.lastReadStamp());
    }
    pauseAfterPass(relay, signal, seen);
  }
}

}  // namespace

void signInAndPollFrames(FrameRelay& relay, unsigned instance) {
  std::unique_ptr<VOK::ConsumerSession> session = signIn(instance);
  if (session->reader) {
    pollFrames(relay, *session->reader);
  }
}
