#pragma once

#include "DdsEndpoint.h"

namespace dds_bridge {

// The bridge's topics under ROS 2's conventions: "rt/" before the ROS topic
// name, the ROS message types by their DDS names.

// sensor_msgs/msg/CompressedImage frames on /vok/camera/compressed; a lost
// frame is not worth a resend, the next one follows.
TopicSpec cameraTopic();
// std_msgs/msg/Int8MultiArray channel values on /vok/command, delivered reliably.
TopicSpec commandTopic();

}  // namespace dds_bridge
