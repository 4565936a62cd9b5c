#include <memory>

#include "ClockUtils.h"
#include "bridgeModes.h"
#include "bridgeTopics.h"
#include "cameraContract.h"
#include "cameraImage.h"
#include "ringFollowing.h"
#include "rosTime.h"

namespace dds_bridge {

int publishCamera(const BridgeOptions& options, std::shared_ptr<IDdsFunctions> dds) {
  DdsEndpoint writer(std::move(dds), options.domain, cameraTopic(), Role::Writer);
  auto frame = std::make_unique<camera_record::UserDataStruct>();
  VOK::ClockWrapperLinux clock;
  VOK::ClockUtils monotonic(new VOK::ClockWrapperLinux());
  const RingWish camera{camera_record::kContract.request("wish to bridge the Zentor life video"),
                        sizeof(camera_record::UserDataStruct)};
  return followRing(camera, *frame, options.serverInstance, [&](uint64_t takenUs) {
    // The camera's own stamp is the moment it took the frame; an older
    // camera gives none, and the moment of reading stands in.
    const builtin_interfaces_msg_dds__Time_ stamp =
        takenUs != 0 ? rosTimeOfWallClock(takenUs) : rosTimeOf(clock, monotonic.getCurrentTimeInUs());
    if (const auto image = compressedImageOf(*frame, stamp)) {
      writer.write(&*image);
    }
  });
}

}  // namespace dds_bridge
