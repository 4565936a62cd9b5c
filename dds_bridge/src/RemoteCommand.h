#pragma once

#include <chrono>
#include <optional>
#include <set>

#include "DdsEndpoint.h"
#include "neutralValues.h"

namespace dds_bridge {

// What a remote station asks the machine to do, as the values for the
// remote-control ring: those of the newest accepted message on the command
// topic, and the neutral values before the first one and whenever none has
// been accepted for the failsafe time. One station drives at a time: the
// writer of the first accepted message holds the machine until none of its
// messages was accepted for the failsafe time; the messages of other writers
// meanwhile are refused. Refused messages change nothing and do not count as
// signs of life.
class RemoteCommand {
 public:
  using Clock = std::chrono::steady_clock;

  // reader: a reader of the command topic, which must outlive this object.
  RemoteCommand(DdsEndpoint& reader, std::chrono::milliseconds failsafe, const ChannelValues& neutral);

  // Takes the messages that arrived and returns the values to write at now.
  // Logs the first refused message after accepted ones with its reason, each
  // start and loss of the messages and each new driving station once, and
  // each other station once while one drives. Throws what the reader throws.
  ChannelValues valuesAt(Clock::time_point now);

 private:
  void receive(const void* sample, dds_instance_handle_t writer, Clock::time_point now);
  bool heldByAnother(dds_instance_handle_t writer, Clock::time_point now) const;

  DdsEndpoint& reader;
  std::chrono::milliseconds failsafe;
  ChannelValues neutral;
  ChannelValues latest;
  std::optional<Clock::time_point> lastAccepted;
  dds_instance_handle_t driver = 0;
  std::set<dds_instance_handle_t> refusedStations;
  bool live = false;
  bool refusing = false;
};

}  // namespace dds_bridge
