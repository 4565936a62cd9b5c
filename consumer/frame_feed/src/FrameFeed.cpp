#include "FrameFeed.h"

#include <time.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "JpegEncoder.h"
#include "SharedMemoryWrapperLinux.h"
#include "TestPattern.h"
#include "UserDataStruct.h"
#include "appSignIn.h"
#include "brokerIndex.h"
#include "cameraContract.h"
#include "log_datalayer.h"
#include "pollPause.h"

namespace {

const char component[] = "ZentorMotion(ZM)frame_feed::runFrameFeed()";
const unsigned width = 320;
const unsigned height = 240;
const long cycleNs = 50000000L;  // 20 frames per second

// A ring left behind by a feed that was killed would make creating ours fail.
void removeStaleRing() {
  if (VOK::SharedMemoryWrapperLinux()._shm_unlink(camera_record::kContract.shmId) == 0) {
    log(LOG_INFO, component, std::string("removed the stale ring ") + camera_record::kContract.shmId);
  }
}

// Sleeps until the next cycle; after falling behind it starts afresh from now.
void waitForNextCycle(timespec& next) {
  next = VOK::addNanoseconds(next, cycleNs);
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  if (now.tv_sec > next.tv_sec + 1) {
    next = now;
    return;
  }
  VOK::sleepUntilMonotonic(next);
}

}  // namespace

void runFrameFeed(int brokerPid, const std::atomic<bool>& stop) {
  removeStaleRing();
  auto frame = std::make_unique<UserDataStruct>();
  std::unique_ptr<VOK::ProviderSession> session = VOK::signInAsProvider(
      {camera_record::kContract.providerName, "stand-in camera: a moving test picture", brokerIndexOf(brokerPid)},
      camera_record::kContract.offer(cycleNs / 1000), *frame, {component, "", 0, component});
  log(LOG_INFO, component,
      "publishing " + std::to_string(width) + "x" + std::to_string(height) +
          " JPEG frames every " + std::to_string(cycleNs / 1000000) + " ms");

  JpegEncoder encoder;
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  auto* data = reinterpret_cast<unsigned char*>(frame->bramixmotionData);
  timespec next{};
  clock_gettime(CLOCK_MONOTONIC, &next);
  for (unsigned number = 0; !stop; ++number) {
    renderTestPattern(number, width, height, rgb.data());
    const size_t size = encoder.encode(rgb.data(), width, height, data, UserDataStruct::frameBytes);
    if (size > 0) {
      // Zeros after the image, as the record promises.
      std::memset(data + size, 0, UserDataStruct::frameBytes - size);
      session->writer.writeUserData(frame.get());
    }
    waitForNextCycle(next);
  }
}
