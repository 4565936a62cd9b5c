#include "FrameRelay.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "RelayWrapperLinux.h"
#include "StreamWrapperLinux.h"
#include "logFailure.h"
#include "log_datalayer.h"
#include "pollPause.h"

namespace {

const char kConnectComponent[] = "ZentorMotion(ZM) connect(), stayAlive";
const char kReceiveComponent[] = "ZentorMotion(ZM)C::receive()";
const char kReaderComponent[] = "ZentorMotion(ZM)C::stayAlive()";
const int kStreamPort = 2020;

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
    return refuse(LOG_ERROR, kConnectComponent, "stopping, no new frame reader");
  }
  instance = brokerInstance;
  switch (threads.startReader(*functions, runReader, this)) {
    case RelayThreads::Start::Started:
      break;
    case RelayThreads::Start::AlreadyRunning:
      // A second reader would re-initialise the semaphore under the first.
      return refuse(LOG_ERROR, kConnectComponent, "reader already running");
    default:
      return refuse(LOG_INFO, kConnectComponent, "unable to create thread");
  }
  // The dispatcher ended with the earlier reader; without it the frames of
  // the new one would go nowhere.
  std::lock_guard<std::mutex> guard(receiveLock);
  if (dispatch.requested) {
    log(LOG_INFO, kConnectComponent, "a new frame reader replaces the one that ended; dispatching resumes");
    startDispatcher(kConnectComponent);
  }
  return 0;
}

int FrameRelay::receive(Callback callback, char* buffer, unsigned length) {
  std::lock_guard<std::mutex> guard(receiveLock);
  if (dispatch.requested) {
    return refuse(LOG_ERROR, kReceiveComponent, "calling twice not supported");
  }
  if (length > UserDataStruct::frameBytes) {
    return refuse(LOG_ERROR, kReceiveComponent, "parameter oversize");
  }
  if (buffer == nullptr && length > 0) {
    return refuse(LOG_ERROR, kReceiveComponent, "buffer must not be null");
  }
  dispatch = {callback, buffer, length, true};
  return startDispatcher(kReceiveComponent);
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
  runLoggingFailure(kReaderComponent, [&] { relay.reader(relay, relay.instance); });
  relay.threads.readerEnds();
  if (!relay.stopping()) {
    // Frames stop here; the host must learn it and how to bring them back.
    // Said once the reader has ended, so a connect on this line succeeds.
    log(LOG_ERROR, kReaderComponent, "the frame reader ended, no frames until VOK_connect starts a new one");
  }
  return nullptr;
}

// The dispatcher thread and the default callback: hand the latest frame to
// the caller and stream JPEG frames to browsers.

int FrameRelay::push(const unsigned char* data, unsigned length) {
  std::lock_guard<std::mutex> writing(frameLock);
  std::memcpy(latest->bramixmotionData, data,
              length < UserDataStruct::frameBytes ? length : UserDataStruct::frameBytes);
  return 0;
}

void FrameRelay::deliver(const unsigned char* frame, unsigned length, uint64_t wallClockUs) {
  push(frame, length);
  {
    std::lock_guard<std::mutex> writing(frameLock);
    latestStampUs = wallClockUs;
  }
  sem_post(&frameReady);
}

char* FrameRelay::pop(char* buffer, unsigned length) {
  if (length > UserDataStruct::frameBytes) {
    log(LOG_ERROR, "ZentorMotion(ZM)C::pop()", "oversize");
    return nullptr;
  }
  if (length == 0) {
    return buffer;
  }
  std::unique_ptr<char[]> copy(new char[length]);
  std::lock_guard<std::mutex> popping(popLock);
  uint64_t stampUs = 0;
  {
    // Also under the writer's lock: a frame is never taken half overwritten.
    std::lock_guard<std::mutex> reading(frameLock);
    std::memcpy(copy.get(), latest->bramixmotionData, length);
    stampUs = partStamps ? latestStampUs : 0;
  }
  if (static_cast<unsigned char>(copy[0]) == 0xFF) {
    std::printf("\033[H\033[J");
    std::printf("ZM_RECEIVED[%d]", 0);
    std::fflush(stdout);
    if (server) {
      server->put(reinterpret_cast<unsigned char*>(copy.get()), length, static_cast<int64_t>(stampUs));
      viewers = server->clientCount();
    }
  }
  std::memcpy(buffer, copy.get(), length);
  return buffer;
}

// Frames delivered while the last one was dispatched are one: only the
// newest is there to hand on.
void FrameRelay::waitForFrame() {
  VOK::waitResuming(frameReady);
  while (sem_trywait(&frameReady) == 0) {
  }
}

bool FrameRelay::dispatching() const { return !stopping() && !threads.dispatcherMustEnd(); }

void* FrameRelay::runDispatcher(void* self) {
  auto& relay = *static_cast<FrameRelay*>(self);
  const Dispatch task = relay.dispatch;
  {
    // A failed bind leaves the server closed: frames still reach the caller.
    std::lock_guard<std::mutex> popping(relay.popLock);
    relay.server = std::make_unique<StreamServer>(relay.streamFunctions, kStreamPort, 0, 0, relay.clientTimeoutUs,
                                                  relay.framePeriodUs);
  }
  while (relay.dispatching()) {
    std::lock_guard<std::mutex> step(relay.dispatchStep);
    relay.waitForFrame();
    if (!relay.dispatching()) {
      break;
    }
    if (task.callback != nullptr) {
      task.callback(task.buffer, task.length);
    } else {
      relay.pop(task.buffer, task.length);
    }
  }
  std::lock_guard<std::mutex> popping(relay.popLock);
  relay.server.reset();
  return nullptr;
}

FrameRelay& frameRelay() {
  static FrameRelay* relay = new FrameRelay(std::make_shared<RelayWrapperLinux>(), signInAndPollFrames,
                                            std::make_shared<StreamWrapperLinux>());
  return *relay;
}
