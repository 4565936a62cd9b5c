#pragma once

#include "recordContract.h"
#include "remoteControlRecord.h"

namespace remote_control_record {

// The remote-control record as the command feed (or a bridge) offers it and
// the servo controller (or a bridge) asks for it.
inline constexpr VOK::RecordContract kContract{
    "Remote_open_control_kit_enabled_target_(Zentor)",
    "Remote_open_control_kit_enabled_target_(Zentor)Shm",
    "bramixData",
    "int8_t",
    UserDataStruct::kChannels,
    sizeof(UserDataStruct),
    "Zentor for Bramix",
    "V0.1",
    "0.1",
    10};

}  // namespace remote_control_record
