#include "RemoteCommand.h"

#include <cstdio>
#include <string>

#include "RosMessages.h"
#include "commandArray.h"
#include "log_datalayer.h"

namespace dds_bridge {

namespace {
const char component[] = "dds_bridge/src/RemoteCommand";

std::string stationName(dds_instance_handle_t writer) {
  char text[40];
  std::snprintf(text, sizeof(text), "writer %016llx", static_cast<unsigned long long>(writer));
  return text;
}

}  // namespace

RemoteCommand::RemoteCommand(DdsEndpoint& reader, std::chrono::milliseconds failsafe, const ChannelValues& neutral)
    : reader(reader), failsafe(failsafe), neutral(neutral), latest(neutral) {}

ChannelValues RemoteCommand::valuesAt(Clock::time_point now) {
  reader.takeArrived([this, now](const void* sample, dds_instance_handle_t writer) { receive(sample, writer, now); });
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

void RemoteCommand::receive(const void* sample, dds_instance_handle_t writer, Clock::time_point now) {
  if (heldByAnother(writer, now)) {
    if (refusedStations.insert(writer).second) {
      log(LOG_ERROR, component, "Refused the commands of " + stationName(writer) + ": " + stationName(driver) +
                                    " drives");
    }
    return;
  }
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
  if (writer != driver) {
    driver = writer;
    refusedStations.clear();
    log(LOG_INFO, component, "Remote commands from " + stationName(writer));
  }
  latest = *command.values;
  lastAccepted = now;
}

bool RemoteCommand::heldByAnother(dds_instance_handle_t writer, Clock::time_point now) const {
  return writer != driver && lastAccepted && now - *lastAccepted < failsafe;
}

}  // namespace dds_bridge
