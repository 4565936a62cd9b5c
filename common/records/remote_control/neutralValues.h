#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "remoteControlRecord.h"

// The channel values that hold the machine at rest: what the servo line
// carries when the feed is lost, and the last record every publisher writes
// before it lets go of its ring. One definition for the controller and the
// command feed, so that both ends agree on it.

using ChannelValues = std::array<int8_t, remote_control_record::UserDataStruct::kChannels>;

// Centre of a channel's 0..15 range.
constexpr int8_t kNeutralCentre = 8;

// Channels 0..13 at the centre, channel 14 at the frame's end mark 13: the
// frame "88888888888888D".
ChannelValues defaultNeutralValues();

// Reads an override: up to 14 comma-separated values 0..15 (decimal or 0x
// hex) for channels 0, 1, ...; channels not given stay at the centre.
// Throws std::invalid_argument with a text for the user otherwise.
ChannelValues parseNeutralValues(const std::string& text);

// The record that carries values.
remote_control_record::UserDataStruct neutralRecord(const ChannelValues& values);
