#include "ringFollowing.h"

#include <optional>

#include "appSignIn.h"
#include "stopSignalWatcher.h"

namespace dds_bridge {

namespace {
const char appName[] = "vok_dds_bridge";
const char component[] = "dds_bridge/src/ringFollowing";
constexpr std::chrono::milliseconds kLookPause{5};
}  // namespace

int followRing(const RingWish& ring, VOK::IVOKBaseDataStruct& record, unsigned serverInstance,
               const std::function<void(uint64_t wallClockUs)>& forward) {
  std::unique_ptr<VOK::ConsumerSession> session =
      VOK::signInAsConsumer({appName, "", serverInstance}, ring.request,
                            ring.recordSize, {component, "", 0, component});
  if (!session->reader) {
    return 1;
  }
  VOK::ConsistentDataTransfer& reader = *session->reader;
  std::optional<uint32_t> forwarded;
  while (!VOK::processStop().waitForStop(kLookPause)) {
    const std::optional<uint32_t> newest = reader.newestSegment();
    if (newest != forwarded && reader.readUserData(&record)) {
      forwarded = newest;
      forward(reader.lastReadStamp());
    }
  }
  return 0;
}

}  // namespace dds_bridge
