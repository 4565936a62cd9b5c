#include "bridgeTopics.h"

#include "RosMessages.h"

namespace dds_bridge {

TopicSpec cameraTopic() {
  return {&sensor_msgs_msg_dds__CompressedImage__desc, "rt/vok/camera/compressed", Delivery::BestEffort};
}

TopicSpec commandTopic() {
  return {&std_msgs_msg_dds__Int8MultiArray__desc, "rt/vok/command", Delivery::Reliable};
}

}  // namespace dds_bridge
