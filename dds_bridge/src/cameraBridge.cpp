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
  return followRing(camera, *frame, options.serverInstance, [&] {
    const uint64_t readUs = monotonic.getCurrentTimeInUs();
    if (const auto image = compressedImageOf(*frame, rosTimeOf(clock, readUs))) {
      writer.write(&*image);
    }
  });
}

}  // namespace dds_bridge
