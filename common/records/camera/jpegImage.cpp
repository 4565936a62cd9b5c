#include "jpegImage.h"

#include <algorithm>
#include <cstdint>

std::size_t jpegImageLength(const camera_record::UserDataStruct& frame) {
  const auto* begin = reinterpret_cast<const uint8_t*>(frame.bramixmotionData);
  const uint8_t* end = begin + camera_record::UserDataStruct::frameBytes;
  static const uint8_t endMarker[] = {0xFF, 0xD9};
  if (begin[0] != 0xFF || begin[1] != 0xD8) {
    return 0;
  }
  const uint8_t* found = std::search(begin + 2, end, std::begin(endMarker), std::end(endMarker));
  return found == end ? 0 : static_cast<std::size_t>(found - begin) + sizeof(endMarker);
}
