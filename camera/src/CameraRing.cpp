#include "CameraRing.h"

#include "cameraContract.h"

#include <cstring>
#include <stdexcept>

namespace camera {

namespace {
const char kComponent[] = "ZentorMotion(ZM)camera/src/CameraRing()";
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
  std::memcpy(frame->bramixmotionData, image.data(), image.size());
  // Zeros after the image, as the record promises.
  std::memset(frame->bramixmotionData + image.size(), 0, UserDataStruct::frameBytes - image.size());
  session->writer.writeUserData(frame.get());
}

}  // namespace camera
