#pragma once

#include "cameraRecord.h"
#include "recordContract.h"

namespace camera_record {

// The camera frame record as a camera (or the stand-in of test mode) offers
// it and the frame relay (or a bridge) asks for it.
inline constexpr VOK::RecordContract kContract{
    "ZentorMotion(ZM)",
    "ZentorMotion(ZM)Shm",
    "bramixmotionData",
    "int8_t",
    UserDataStruct::frameBytes,
    sizeof(UserDataStruct),
    "ZentorMotion camera frames",
    "0.1",
    "0.1",
    0};

}  // namespace camera_record
