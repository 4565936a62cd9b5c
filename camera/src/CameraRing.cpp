#include "CameraRing.h"

#include "cameraContract.h"

#include <cstring>
#include <stdexcept>

#include "ClockWrapperLinux.h"

namespace camera {

namespace {
const char kComponent[] = "ZentorMotion(ZM)camera/src/CameraRing()";
// The real-time clock in microseconds; 0 (no stamp) when it cannot be read.
uint64_t wallClockUs() {
  VOK::ClockWrapperLinux clock;
  timespec now{};
  if (clock._clock_gettime(CLOCK_REALTIME, now) != 0) {
    return 0;
  }
  return static_cast<uint64_t>(now.tv_sec) * 1000000 + static_cast<uint64_t>(now.tv_nsec) / 1000;
}

}  // namespace

CameraRing::CameraRing(unsigned serverInstance, uint64_t cycleUs) : frame(std::make_unique<UserDataStruct>()) {
  session = VOK::signInAsProvider(
      {camera_record::kContract.providerName, "camera: JPEG frames of an MJPEG source", serverInstance},
      camera_record::kContract.offer(cycleUs), *frame, {kComponent, "", 0, kComponent});
}

void CameraRing::publish(const std::vector<uint8_t>& image) {
  if (image.size() > UserDataStruct::frameBytes) {
    throw std::invalid_argument("a frame of " + std::to_string(image.size()) + " bytes does not fit the record");
  }
  // Taken first: the frame's age counts from the moment it was read.
  const uint64_t takenUs = wallClockUs();
  std::memcpy(frame->bramixmotionData, image.data(), image.size());
  // Zeros after the image, as the record promises.
  std::memset(frame->bramixmotionData + image.size(), 0, UserDataStruct::frameBytes - image.size());
  session->writer.writeUserData(frame.get(), takenUs);
}

}  // namespace camera
