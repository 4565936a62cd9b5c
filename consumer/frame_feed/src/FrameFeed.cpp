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

const char kComponent[] = "ZentorMotion(ZM)frame_feed::runFrameFeed()";
const unsigned kWidth = 320;
const unsigned kHeight = 240;
const long kCycleNs = 50000000L;  // 20 frames per second

// A ring left behind by a feed that was killed would make creating ours fail.
void removeStaleRing() {
  if (VOK::SharedMemoryWrapperLinux()._shm_unlink(camera_record::kContract.shmId) == 0) {
    log(LOG_INFO, kComponent, std::string("removed the stale ring ") + camera_record::kContract.shmId);
  }
}

// Sleeps until the next cycle; after falling behind it starts afresh from now.
void waitForNextCycle(timespec& next) {
  next = VOK::addNanoseconds(next, kCycleNs);
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
      camera_record::kContract.offer(kCycleNs / 1000), *frame, {kComponent, "", 0, kComponent});
  log(LOG_INFO, kComponent,
      "publishing " + std::to_string(kWidth) + "x" + std::to_string(kHeight) +
          " JPEG frames every " + std::to_string(kCycleNs / 1000000) + " ms");

  JpegEncoder encoder;
  std::vector<unsigned char> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  auto* data = reinterpret_cast<unsigned char*>(frame->bramixmotionData);
  timespec next{};
  clock_gettime(CLOCK_MONOTONIC, &next);
  for (unsigned number = 0; !stop; ++number) {
    renderTestPattern(number, kWidth, kHeight, rgb.data());
    const size_t size = encoder.encode(rgb.data(), kWidth, kHeight, data, UserDataStruct::frameBytes);
    if (size > 0) {
      // Zeros after the image, as the record promises.
      std::memset(data + size, 0, UserDataStruct::frameBytes - size);
      session->writer.writeUserData(frame.get());
    }
    waitForNextCycle(next);
  }
}
