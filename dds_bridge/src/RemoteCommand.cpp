#include "RemoteCommand.h"

#include <string>

#include "RosMessages.h"
#include "commandArray.h"
#include "log_datalayer.h"

namespace dds_bridge {

namespace {
const char component[] = "dds_bridge/src/RemoteCommand";
}  // namespace

RemoteCommand::RemoteCommand(DdsEndpoint& reader, std::chrono::milliseconds failsafe, const ChannelValues& neutral)
    : reader(reader), failsafe(failsafe), neutral(neutral), latest(neutral) {}

ChannelValues RemoteCommand::valuesAt(Clock::time_point now) {
  reader.takeArrived([this, now](const void* sample) { receive(sample, now); });
  const bool nowLive = lastAccepted && now - *lastAccepted < failsafe;
  if (nowLive && !live) {
    log(LOG_INFO, component, "Remote commands arrive");
  } else if (!nowLive && live) {
    log(LOG_ERROR, component,
        "Remote commands lost: none for " + std::to_string(failsafe.count()) + " ms, writing the neutral values");
  }
  live = nowLive;
  return live ? latest : neutral;
}

void RemoteCommand::receive(const void* sample, Clock::time_point now) {
  const ReceivedCommand command =
      receivedCommandOf(*static_cast<const std_msgs_msg_dds__Int8MultiArray_*>(sample));
  if (!command.values) {
    if (!refusing) {
      log(LOG_ERROR, component, "Refused a remote command: " + command.refusal);
    }
    refusing = true;
    return;
  }
  refusing = false;
  latest = *command.values;
  lastAccepted = now;
}

}  // namespace dds_bridge
