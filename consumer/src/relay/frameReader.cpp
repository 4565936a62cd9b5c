// The reader thread's work: signs in as consumer of the camera frames,
// attaches to the provider's ring and polls it every 150 ms.
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "FrameRelay.h"
#include "appSignIn.h"
#include "brokerIndex.h"
#include "cameraContract.h"
#include "log_datalayer.h"
#include "recordWait.h"

namespace {

const char kAppName[] = "ZentorMotion(ZM)";
const char kComponent[] = "ZentorMotion(ZM)C::stayAlive()";
const std::chrono::milliseconds kPassPause{150};

// The broker to sign in to: the one asked for; otherwise, when the host is
// itself a broker (its test mode), that broker, not whichever started last.
unsigned brokerInstance(unsigned asked) { return asked != 0 ? asked : brokerIndexOf(static_cast<int>(::getpid())); }

// The first provide of the reply, or nothing (logged) to attach to.
std::optional<Provides> providedFrames(const VOK::ResponseData* reply) {
  std::optional<Provides> provide = VOK::firstProvide(reply);
  if (!provide) {
    log(LOG_ERROR, kComponent, "the reply names no provider with a provide, nothing to attach to");
  }
  return provide;
}

std::unique_ptr<VOK::ConsumerSession> signIn(unsigned instance) {
  return VOK::signInAsConsumer(
      {kAppName, "", brokerInstance(instance)}, camera_record::kContract.request("wish to grab the Zentor life video"),
      sizeof(UserDataStruct),
      {kComponent, ":socketfd: ", UserDataStruct::frameBytes, std::string(kComponent) + "connect()"},
      providedFrames);
}

// The pause after a pass: the pass's length, or with wakeOnRecord, while
// someone watches, until the camera announces its next frame, within the
// pass's length. Unwatched, the relay rests between passes; a stop ends the
// pass's pause early.
void pauseAfterPass(const FrameRelay& relay, VOK::RecordWait& wait, const VOK::StopSource& stop) {
  if (!relay.viewed()) {
    stop.waitForStop(kPassPause);
    return;
  }
  wait.pause(kPassPause);
}

void pollFrames(FrameRelay& relay, VOK::ConsumerSession& session, const VOK::StopSource& stop) {
  auto receiveObject = std::make_unique<UserDataStruct>();
  // Follows the signal of the reader in use: a followed ring brings its own.
  VOK::RecordWait wait(session, relay.wakeOnRecord(), stop);
  while (!stop.stopRequested()) {
    VOK::followProvider(session, sizeof(UserDataStruct), kComponent);
    VOK::ConsistentDataTransfer& reader = *session.reader;
    // A fresh zeroed record each pass: a short frame arrives with zeros after it.
    std::memset(receiveObject->bramixmotionData, 0, sizeof(receiveObject->bramixmotionData));
    if (reader.readUserData(receiveObject.get())) {
      relay.deliver(reinterpret_cast<unsigned char*>(receiveObject->bramixmotionData), UserDataStruct::frameBytes,
                    reader.lastReadStamp());
    }
    pauseAfterPass(relay, wait, stop);
  }
}

}  // namespace

void signInAndPollFrames(FrameRelay& relay, unsigned instance) {
  std::unique_ptr<VOK::ConsumerSession> session = signIn(instance);
  if (session->reader) {
    pollFrames(relay, *session, relay.stopSource());
  }
}
