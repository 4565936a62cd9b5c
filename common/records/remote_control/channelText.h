#pragma once

#include <string>

#include "remoteControlRecord.h"

// The channel values as printed by both ends of the remote-control path:
// "0x" and the value moved into 0..15 (as the servo board gets it) as one
// lower-case hex digit per value, joined by ",", for example "0x0,0x1,...,0xd".
std::string channelText(const remote_control_record::UserDataStruct& data);
