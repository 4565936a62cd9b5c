#include "FrameRelay.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "RelayWrapperLinux.h"
#include "StreamWrapperLinux.h"
#include "logFailure.h"
#include "log_datalayer.h"

namespace {

const char connectComponent[] = "ZentorMotion(ZM) connect(), stayAlive";
const char receiveComponent[] = "ZentorMotion(ZM)C::receive()";
const char readerComponent[] = "ZentorMotion(ZM)C::stayAlive()";

int refuse(LOG_CAT category, const char* component, const char* message) {
  log(category, component, message);
  return 2;
}

}  // namespace

FrameRelay::FrameRelay(std::shared_ptr<IRelayFunctions> functions, Reader reader,
                       std::shared_ptr<IStreamFunctions> streamFunctions)
    : functions(std::move(functions)),
      reader(std::move(reader)),
      latest(std::make_unique<UserDataStruct>()),
      streamFunctions(std::move(streamFunctions)) {
  if (!this->functions || !this->reader || !this->streamFunctions) {
    throw std::invalid_argument("FrameRelay: functions, reader and stream functions must be given");
  }
}

int FrameRelay::connect(unsigned brokerInstance) {
  if (stopping()) {
    return refuse(LOG_ERROR, connectComponent, "stopping, no new frame reader");
  }
  instance = brokerInstance;
  switch (threads.startReader(*functions, runReader, this)) {
    case RelayThreads::Start::Started:
      break;
    case RelayThreads::Start::AlreadyRunning:
      // A second reader would re-initialise the semaphore under the first.
      return refuse(LOG_ERROR, connectComponent, "reader already running");
    default:
      return refuse(LOG_INFO, connectComponent, "unable to create thread");
  }
  // The dispatcher ended with the earlier reader; without it the frames of
  // the new one would go nowhere.
  std::lock_guard<std::mutex> guard(receiveLock);
  if (dispatch.requested) {
    log(LOG_INFO, connectComponent, "a new frame reader replaces the one that ended; dispatching resumes");
    startDispatcher(connectComponent);
  }
  return 0;
}

int FrameRelay::receive(Callback callback, char* buffer, unsigned length) {
  std::lock_guard<std::mutex> guard(receiveLock);
  if (dispatch.requested) {
    return refuse(LOG_ERROR, receiveComponent, "calling twice not supported");
  }
  if (length > UserDataStruct::frameBytes) {
    return refuse(LOG_ERROR, receiveComponent, "parameter oversize");
  }
  if (buffer == nullptr && length > 0) {
    return refuse(LOG_ERROR, receiveComponent, "buffer must not be null");
  }
  dispatch = {callback, buffer, length, true};
  return startDispatcher(receiveComponent);
}

// Called with receiveLock held.
int FrameRelay::startDispatcher(const char* component) {
  switch (threads.startDispatcher(*functions, runDispatcher, this)) {
    case RelayThreads::Start::Started:
      return 0;
    case RelayThreads::Start::NoReader:
      // Without a reader the semaphore does not exist; a later call may try again.
      dispatch.requested = false;
      return refuse(LOG_ERROR, component, "no frame reader running, call VOK_connect first");
    default:
      return refuse(LOG_ERROR, component, "unable to create thread");
  }
}

int FrameRelay::disconnect() {
  functions->_munlockall();
  return 0;
}

void* FrameRelay::runReader(void* self) {
  auto& relay = *static_cast<FrameRelay*>(self);
  // Whatever goes wrong ends this thread only, never the host process.
  runLoggingFailure(readerComponent, [&] { relay.reader(relay, relay.instance); });
  relay.threads.readerEnds();
  if (!relay.stopping()) {
    // Frames stop here; the host must learn it and how to bring them back.
    // Said once the reader has ended, so a connect on this line succeeds.
    log(LOG_ERROR, readerComponent, "the frame reader ended, no frames until VOK_connect starts a new one");
  }
  return nullptr;
}

FrameRelay& frameRelay() {
  static FrameRelay* relay = new FrameRelay(std::make_shared<RelayWrapperLinux>(), signInAndPollFrames,
                                            std::make_shared<StreamWrapperLinux>());
  return *relay;
}
