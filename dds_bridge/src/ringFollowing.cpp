#include "ringFollowing.h"

#include <optional>

#include "appSignIn.h"
#include "recordWait.h"
#include "stopSignalWatcher.h"

namespace dds_bridge {

namespace {
const char appName[] = "vok_dds_bridge";
const char component[] = "dds_bridge/src/ringFollowing";
// Between looks at a ring whose provider announces no records.
constexpr std::chrono::milliseconds kLookPause{5};
// Between looks at a ring whose provider announces its records: only a
// bound, in case an announcement were missed.
constexpr std::chrono::milliseconds kLongestWait{100};
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
  VOK::RecordWait wait(*session, true, VOK::processStop());
  while (!VOK::processStop().stopRequested()) {
    wait.pause(wait.onRecords() ? kLongestWait : kLookPause);
    const std::optional<uint32_t> newest = reader.newestSegment();
    if (newest != forwarded && reader.readUserData(&record)) {
      forwarded = newest;
      forward(reader.lastReadStamp());
    }
  }
  return 0;
}

}  // namespace dds_bridge
