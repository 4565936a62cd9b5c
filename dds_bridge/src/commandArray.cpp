#include "commandArray.h"

#include <algorithm>

namespace dds_bridge {

namespace {
char channelsLabel[] = "channels";
constexpr int8_t kHighest = 15;
}  // namespace

CommandArray::CommandArray(const ChannelValues& values) : values(values) {
  dimension.label = channelsLabel;
  dimension.size = dimension.stride = static_cast<uint32_t>(values.size());
  message.layout.dim._buffer = &dimension;
  message.layout.dim._length = message.layout.dim._maximum = 1;
  message.data._buffer = this->values.data();
  message.data._length = message.data._maximum = static_cast<uint32_t>(values.size());
}

ChannelValues channelValuesOf(const remote_control_record::UserDataStruct& record) {
  ChannelValues values;
  std::copy(std::begin(record.bramixData), std::end(record.bramixData), values.begin());
  return values;
}

ReceivedCommand receivedCommandOf(const std_msgs_msg_dds__Int8MultiArray_& message) {
  ChannelValues values;
  if (message.data._length != values.size()) {
    return {std::nullopt, std::to_string(values.size()) + " values expected, not " +
                              std::to_string(message.data._length)};
  }
  for (size_t i = 0; i < values.size(); ++i) {
    const int8_t value = message.data._buffer[i];
    if (value < 0 || value > kHighest) {
      return {std::nullopt, "channel " + std::to_string(i) + " is " + std::to_string(value) + ", not 0..15"};
    }
    values[i] = value;
  }
  return {values, ""};
}

}  // namespace dds_bridge
