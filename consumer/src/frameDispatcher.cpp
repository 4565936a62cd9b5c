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
    if (server.socket > 0) {
      stream_put(&server, &clients, reinterpret_cast<unsigned char*>(copy.get()), length,
                 static_cast<int64_t>(stampUs));
      viewers = clients;
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
  stream_init(&relay.server, streamPort, 0, 0, nullptr);
  relay.server.client_timeout_us = relay.clientTimeoutUs;
  relay.server.frame_period_us = relay.framePeriodUs;
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
  // Browsers see the stream end instead of a connection that hangs.
  if (relay.server.socket >= 0) {
    stream_stop(&relay.server);
    relay.clients = 0;
  }
  return nullptr;
}
