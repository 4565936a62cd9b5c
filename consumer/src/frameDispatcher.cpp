// The dispatcher thread and the default callback: hand the latest frame to
// the caller and stream JPEG frames to browsers.
#include <cstdio>
#include <cstring>
#include <memory>

#include "FrameRelay.h"
#include "log_datalayer.h"
#include "pollPause.h"

namespace {

const int streamPort = 2020;

}  // namespace

int FrameRelay::push(const unsigned char* data, unsigned length) {
  std::lock_guard<std::mutex> writing(frameLock);
  std::memcpy(latest->bramixmotionData, data,
              length < UserDataStruct::frameBytes ? length : UserDataStruct::frameBytes);
  return 0;
}

void FrameRelay::deliver(const unsigned char* frame, unsigned length) {
  push(frame, length);
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
  {
    // Also under the writer's lock: a frame is never taken half overwritten.
    std::lock_guard<std::mutex> reading(frameLock);
    std::memcpy(copy.get(), latest->bramixmotionData, length);
  }
  if (static_cast<unsigned char>(copy[0]) == 0xFF) {
    std::printf("\033[H\033[J");
    std::printf("ZM_RECEIVED[%d]", 0);
    std::fflush(stdout);
    if (server) {
      server->put(reinterpret_cast<unsigned char*>(copy.get()), length);
    }
  }
  std::memcpy(buffer, copy.get(), length);
  return buffer;
}

void FrameRelay::waitForFrame() { VOK::waitResuming(frameReady); }

bool FrameRelay::dispatching() const { return !stopping() && !threads.dispatcherMustEnd(); }

void* FrameRelay::runDispatcher(void* self) {
  auto& relay = *static_cast<FrameRelay*>(self);
  const Dispatch task = relay.dispatch;
  {
    // A failed bind leaves the server closed: frames still reach the caller.
    std::lock_guard<std::mutex> popping(relay.popLock);
    relay.server = std::make_unique<StreamServer>(relay.streamFunctions, streamPort, 0, 0, relay.clientTimeoutUs);
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
