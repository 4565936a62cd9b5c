#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "commandLine.h"
#include "neutralValues.h"

namespace servo_controller {

// servo_controller's command line. Without options it behaves as always:
// the newest record goes out on every pass, however old it is.
struct ControllerOptions {
  // --failsafe MS: after MS without a new record the neutral values go out
  // instead, and an orderly stop sends them before the port closes.
  std::optional<std::chrono::milliseconds> failsafe;
  // --neutral V,...: the values sent in their place.
  ChannelValues neutral = defaultNeutralValues();
  // --wake-on-record: a new record goes out as soon as the provider
  // announces it, not at the next pass (which still comes every 150 ms).
  bool wakeOnRecord = false;
};

// The outcome of reading the command line.
using ControllerCommand = VOK::ParsedCommand<ControllerOptions>;

// Reads the arguments after the program name.
ControllerCommand readControllerOptions(const std::vector<std::string>& arguments);

}  // namespace servo_controller
