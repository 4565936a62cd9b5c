#include "bridgeTopics.h"

#include "RosMessages.h"

namespace dds_bridge {

TopicSpec cameraTopic() {
  return {&sensor_msgs_msg_dds__CompressedImage__desc, "rt/vok/camera/compressed", Delivery::BestEffort};
}

// A reader keeps enough for several stations' messages between two takes, so
// that one station's stream cannot push out every message of the one that drives.
TopicSpec commandTopic() {
  return {&std_msgs_msg_dds__Int8MultiArray__desc, "rt/vok/command", Delivery::Reliable, 64};
}

}  // namespace dds_bridge
