#include "FrameFeed.h"

#include <chrono>
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

namespace {

const char kComponent[] = "ZentorMotion(ZM)frame_feed::runFrameFeed()";
const unsigned kWidth = 320;
const unsigned kHeight = 240;
const std::chrono::milliseconds kCycle{50};  // 20 frames per second

// A ring left behind by a feed that was killed would make creating ours fail.
void removeStaleRing() {
  if (VOK::SharedMemoryWrapperLinux()._shm_unlink(camera_record::kContract.shmId) == 0) {
    log(LOG_INFO, kComponent, std::string("removed the stale ring ") + camera_record::kContract.shmId);
  }
}

// Waits until the next cycle or a stop (true); after falling behind more
// than a second it starts afresh from now.
bool stopBeforeNextCycle(std::chrono::steady_clock::time_point& next, const VOK::StopSource& stop) {
  next += kCycle;
  const auto now = std::chrono::steady_clock::now();
  if (now > next + std::chrono::seconds(1)) {
    next = now;
    return stop.stopRequested();
  }
  return stop.waitUntil(next);
}

}  // namespace

void runFrameFeed(int brokerPid, const VOK::StopSource& stop) {
  removeStaleRing();
  auto frame = std::make_unique<UserDataStruct>();
  std::unique_ptr<VOK::ProviderSession> session = VOK::signInAsProvider(
      {camera_record::kContract.providerName, "stand-in camera: a moving test picture", brokerIndexOf(brokerPid)},
      camera_record::kContract.offer(static_cast<unsigned long long>(std::chrono::microseconds(kCycle).count())),
      *frame, {kComponent, "", 0, kComponent});
  log(LOG_INFO, kComponent,
      "publishing " + std::to_string(kWidth) + "x" + std::to_string(kHeight) + " JPEG frames every " +
          std::to_string(kCycle.count()) + " ms");

  JpegEncoder encoder;
  std::vector<unsigned char> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  auto* data = reinterpret_cast<unsigned char*>(frame->bramixmotionData);
  auto next = std::chrono::steady_clock::now();
  for (unsigned number = 0; !stop.stopRequested(); ++number) {
    renderTestPattern(number, kWidth, kHeight, rgb.data());
    const size_t size = encoder.encode(rgb.data(), kWidth, kHeight, data, UserDataStruct::frameBytes);
    if (size > 0) {
      // Zeros after the image, as the record promises.
      std::memset(data + size, 0, UserDataStruct::frameBytes - size);
      session->writer.writeUserData(frame.get());
    }
    if (stopBeforeNextCycle(next, stop)) {
      break;
    }
  }
}
