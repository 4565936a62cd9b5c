#pragma once

#include <cstddef>

#include "cameraRecord.h"

// The bytes of the JPEG image a frame record carries: from its start marker
// 0xFF 0xD8 up to and including the first 0xFF 0xD9. 0 when the frame does
// not start with the start marker or has no end marker.
std::size_t jpegImageLength(const camera_record::UserDataStruct& frame);
