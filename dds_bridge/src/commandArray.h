#pragma once

#include <optional>
#include <string>

#include "RosMessages.h"
#include "neutralValues.h"

namespace dds_bridge {

// The Int8MultiArray of the remote-control values: one dimension "channels"
// of 15 values, data offset 0. Holds what the sample points into, so it is
// neither copied nor moved.
class CommandArray {
 public:
  explicit CommandArray(const ChannelValues& values);
  CommandArray(const CommandArray&) = delete;
  CommandArray& operator=(const CommandArray&) = delete;

  const std_msgs_msg_dds__Int8MultiArray_& sample() const { return message; }

 private:
  ChannelValues values;
  std_msgs_msg_dds__MultiArrayDimension_ dimension{};
  std_msgs_msg_dds__Int8MultiArray_ message{};
};

// The values of a record.
ChannelValues channelValuesOf(const remote_control_record::UserDataStruct& record);

// What a received message asks for: exactly 15 values, each 0..15 (what the
// servo frame can carry), or the reason it is refused. The layout is not read.
struct ReceivedCommand {
  std::optional<ChannelValues> values;
  std::string refusal;
};
ReceivedCommand receivedCommandOf(const std_msgs_msg_dds__Int8MultiArray_& message);

}  // namespace dds_bridge
