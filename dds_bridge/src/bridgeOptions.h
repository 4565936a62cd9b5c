#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "commandLine.h"
#include "neutralValues.h"

namespace dds_bridge {

// Which way the bridge carries which data.
enum class BridgeMode {
  PublishCamera,     // the camera ring to rt/vok/camera/compressed
  PublishCommand,    // the remote-control ring to rt/vok/command
  SubscribeCommand,  // rt/vok/command into the remote-control ring, as its
                     // provider
};

// The command line of vok_dds_bridge.
struct BridgeOptions {
  BridgeMode mode = BridgeMode::PublishCamera;
  uint32_t domain = 0;                             // --domain N, 0..232
  std::chrono::milliseconds failsafe{500};         // --failsafe MS (subscribing)
  ChannelValues neutral = defaultNeutralValues();  // --neutral V,... (subscribing)
  unsigned serverInstance = 0;                     // -s/--serverinstance N
  bool allowUnauthenticated = false;               // --allow-unauthenticated (subscribing)
};

// The outcome of reading the command line.
using BridgeCommand = VOK::ParsedCommand<BridgeOptions>;

// Reads the arguments after the program name; exactly one --publish or
// --subscribe must be given.
BridgeCommand readBridgeOptions(const std::vector<std::string>& arguments);

}  // namespace dds_bridge
