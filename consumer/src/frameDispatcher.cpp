// The dispatcher thread and the default callback: hand the latest frame to
// the caller and stream JPEG frames to browsers.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "MutexLock.h"
#include "frameRelay.h"
#include "log_datalayer.h"
#include "relayState.h"

using namespace frame_relay;

namespace {

const int streamPort = 2020;

void waitForFrame() {
  while (sem_wait(&semDataReceived) != 0 && errno == EINTR) {
  }
}

bool dispatching() { return !stopProcess && !threads.dispatcherMustEnd(); }

}  // namespace

int push(unsigned char* data, unsigned length) {
  MutexLock writing(mx2);
  std::memcpy(myUserDataStruct.bramixmotionData, data,
              length < UserDataStruct::frameBytes ? length : UserDataStruct::frameBytes);
  return 0;
}

char* pop(char* buffer, unsigned length) {
  if (length > UserDataStruct::frameBytes) {
    log(LOG_ERROR, std::string(appName) + isConsumer + "::pop()", "oversize");
    return nullptr;
  }
  if (length == 0) {
    return buffer;
  }
  std::unique_ptr<char[]> copy(new char[length]);
  MutexLock popping(mx3);
  {
    // Also under the writer's lock: a frame is never taken half overwritten.
    MutexLock reading(mx2);
    std::memcpy(copy.get(), myUserDataStruct.bramixmotionData, length);
  }
  if (static_cast<unsigned char>(copy[0]) == 0xFF) {
    std::printf("\033[H\033[J");
    std::printf("ZM_RECEIVED[%d]", 0);
    std::fflush(stdout);
    if (stm.socket > 0) {
      stream_put(&stm, &cnt_current_streams, reinterpret_cast<unsigned char*>(copy.get()),
                 length);
    }
  }
  std::memcpy(buffer, copy.get(), length);
  return buffer;
}

void* stayReceiving(void* argument) {
  auto* args = static_cast<StayReceivingArgs*>(argument);
  stream_init(&stm, streamPort, 0, 0, nullptr);
  while (dispatching()) {
    MutexLock step(mx1);
    waitForFrame();
    if (dispatching()) {
      args->callback(args->buffer, args->length);
    }
  }
  // Browsers see the stream end instead of a connection that hangs.
  if (stm.socket >= 0) {
    stream_stop(&stm);
    cnt_current_streams = 0;
  }
  return nullptr;
}
