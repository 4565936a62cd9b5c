#pragma once

#include <chrono>
#include <optional>

#include "DdsEndpoint.h"
#include "neutralValues.h"

namespace dds_bridge {

// What a remote station asks the machine to do, as the values for the
// remote-control ring: those of the newest accepted message on the command
// topic, and the neutral values before the first one and whenever none has
// been accepted for the failsafe time. Refused messages change nothing and
// do not count as signs of life.
class RemoteCommand {
 public:
  using Clock = std::chrono::steady_clock;

  // reader: a reader of the command topic, which must outlive this object.
  RemoteCommand(DdsEndpoint& reader, std::chrono::milliseconds failsafe, const ChannelValues& neutral);

  // Takes the messages that arrived and returns the values to write at now.
  // Logs the first refused message after accepted ones with its reason, and
  // each start and loss of the messages once. Throws what the reader throws.
  ChannelValues valuesAt(Clock::time_point now);

 private:
  void receive(const void* sample, Clock::time_point now);

  DdsEndpoint& reader;
  std::chrono::milliseconds failsafe;
  ChannelValues neutral;
  ChannelValues latest;
  std::optional<Clock::time_point> lastAccepted;
  bool live = false;
  bool refusing = false;
};

}  // namespace dds_bridge
