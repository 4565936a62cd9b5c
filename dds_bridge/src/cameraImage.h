#pragma once

#include <optional>

#include "RosMessages.h"
#include "cameraRecord.h"

namespace dds_bridge {

// The CompressedImage of a camera frame: format "jpeg", frame id "vok_camera",
// stamp, and the frame's JPEG bytes, which the sample points into (it is
// valid while frame is). Nothing when the frame holds no whole JPEG image.
std::optional<sensor_msgs_msg_dds__CompressedImage_> compressedImageOf(
    const camera_record::UserDataStruct& frame, const builtin_interfaces_msg_dds__Time_& stamp);

}  // namespace dds_bridge
