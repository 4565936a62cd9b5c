#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "UserDataStruct.h"
#include "appSignIn.h"

namespace camera {

// The camera's side of the broker: signed in as provider "ZentorMotion(ZM)"
// of the bramixmotionData block, with the ring of frame records. The ring's
// name is removed when the object goes.
class CameraRing {
 public:
  // Signs in to the broker listed serverInstance-th by pidof, with a ring
  // sized for a frame at most every cycleUs microseconds. Throws what the
  // sign-in and the ring set-up throw (VOKException with the reason).
  CameraRing(unsigned serverInstance, uint64_t cycleUs);

  // Publishes image (at most UserDataStruct::frameBytes bytes) as the newest
  // frame, zeros after it. Throws std::invalid_argument for a larger image.
  void publish(const std::vector<uint8_t>& image);

 private:
  std::unique_ptr<UserDataStruct> frame;
  std::unique_ptr<VOK::ProviderSession> session;
};

}  // namespace camera
