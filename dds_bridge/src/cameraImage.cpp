#include "cameraImage.h"

#include "jpegImage.h"

namespace dds_bridge {

namespace {
char format[] = "jpeg";
char frameId[] = "vok_camera";
}  // namespace

std::optional<sensor_msgs_msg_dds__CompressedImage_> compressedImageOf(
    const camera_record::UserDataStruct& frame, const builtin_interfaces_msg_dds__Time_& stamp) {
  const std::size_t length = jpegImageLength(frame);
  if (length == 0) {
    return std::nullopt;
  }
  sensor_msgs_msg_dds__CompressedImage_ image{};
  image.header.stamp = stamp;
  image.header.frame_id = frameId;
  image.format = format;
  // Written, never released: Cyclone only reads a sample it is given.
  image.data._buffer = reinterpret_cast<uint8_t*>(const_cast<int8_t*>(frame.bramixmotionData));
  image.data._length = image.data._maximum = static_cast<uint32_t>(length);
  image.data._release = false;
  return image;
}

}  // namespace dds_bridge
