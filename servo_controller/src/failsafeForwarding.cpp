#include "failsafeForwarding.h"

#include <algorithm>
#include <cstdio>

#include "channelText.h"
#include "feedWatch.h"
#include "log_datalayer.h"
#include "lineRoom.h"
#include "recordWait.h"
#include "servo.h"

namespace servo_controller {

namespace {

using namespace std::chrono_literals;
using Clock = FeedWatch::Clock;

constexpr auto kPollPause = 150ms;
constexpr auto kLookPause = 25ms;

void sendNeutral(const UserDataStruct& neutral) {
  UserDataStruct frame = neutral;
  ServoWrite(&frame, false);
}

// Waits until the earliest of the next pass, the moment the feed would
// count as lost and the next look at the index; a stop ends it early, and
// so does a new record when wait wakes on records (then true).
bool pauseUntil(Clock::time_point nextPass, const FeedWatch& watch, VOK::RecordWait& wait) {
  const Clock::time_point now = Clock::now();
  const Clock::time_point lossDue = watch.lost() ? nextPass : watch.deadline();
  const Clock::time_point wake = std::min({nextPass, lossDue, now + kLookPause});
  const auto pause = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now);
  return wait.pause(std::max(pause, 1ms));
}

void logChange(FeedWatch::Change change, const ControllerOptions& options, const std::string& component) {
  if (change == FeedWatch::Change::Lost) {
    log(LOG_ERROR, component,
        "Feed lost: no new record for " + std::to_string(options.failsafe->count()) +
            " ms, sending the neutral values");
  } else if (change == FeedWatch::Change::Back) {
    log(LOG_INFO, component, "Feed back: records flow again");
  }
}

}  // namespace

void forwardWithFailsafe(VOK::ConsumerSession& session, const ControllerOptions& options,
                         const std::string& component, const VOK::StopSource& stop) {
  const UserDataStruct neutral = neutralRecord(options.neutral);
  UserDataStruct received;
  FeedWatch watch(*options.failsafe, Clock::now());
  Clock::time_point nextPass = Clock::now() + kPollPause;
  VOK::RecordWait wait(session, options.wakeOnRecord, stop);
  while (!stop.stopRequested()) {
    const bool fresh = pauseUntil(nextPass, watch, wait);
    const Clock::time_point now = Clock::now();
    VOK::followProvider(session, sizeof(UserDataStruct), component);
    VOK::ConsistentDataTransfer& reader = *session.reader;
    const FeedWatch::Change change = watch.observe(reader.newestSegment(), now);
    logChange(change, options, component);
    // A change of state or an announced record goes out at once; otherwise
    // one frame per pass.
    if (stop.stopRequested() || (change == FeedWatch::Change::None && !fresh && now < nextPass)) {
      continue;
    }
    nextPass = now + kPollPause;
    awaitLineRoom(stop);
    if (watch.lost()) {
      sendNeutral(neutral);
    } else if (reader.readUserData(&received)) {
      ServoWrite(&received, false);
      fprintf(stderr, "RECEIVED: %s\n", channelText(received).c_str());
    }
  }
  sendNeutral(neutral);
}

}  // namespace servo_controller
