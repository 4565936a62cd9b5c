#include "controllerOptions.h"

#include <cstdlib>
#include <stdexcept>

namespace servo_controller {

namespace {

constexpr long kMaxFailsafeMs = 3600000;

const char* const kUsage =
    "usage: servo_controller [--failsafe MS] [--neutral V,...] [--wake-on-record]\n"
    "  --failsafe MS    send the neutral values when no new record came for MS\n"
    "                   milliseconds (1..3600000), and once more at an orderly stop\n"
    "                   (SIGINT or SIGTERM);\n"
    "                   off by default\n"
    "  --neutral V,...  the neutral values for channels 0, 1, ... (up to 14 values\n"
    "                   0..15; default 8 for channels 0..13)\n"
    "  --wake-on-record send a new record as soon as it is written, not at the next\n"
    "                   150 ms pass (passes go on); off by default\n";

std::chrono::milliseconds failsafeTime(const std::string& text) {
  char* end = nullptr;
  long ms = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || ms < 1 || ms > kMaxFailsafeMs) {
    throw std::invalid_argument("--failsafe needs milliseconds 1..3600000, not \"" + text + "\"");
  }
  return std::chrono::milliseconds(ms);
}

ControllerCommand refuse(const std::string& reason) {
  ControllerCommand command;
  command.action = ControllerCommand::Action::Refuse;
  command.message = "servo_controller: " + reason + "\n" + kUsage;
  return command;
}

}  // namespace

ControllerCommand readControllerOptions(const std::vector<std::string>& arguments) {
  ControllerCommand command;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (option == "--help" || option == "-h") {
      command.action = ControllerCommand::Action::Help;
      command.message = kUsage;
      return command;
    }
    if (option == "--wake-on-record") {
      command.options.wakeOnRecord = true;
      continue;
    }
    if (option != "--failsafe" && option != "--neutral") {
      return refuse("unknown argument \"" + option + "\"");
    }
    if (i + 1 == arguments.size()) {
      return refuse(option + " needs a value");
    }
    const std::string& value = arguments[++i];
    try {
      if (option == "--failsafe") {
        command.options.failsafe = failsafeTime(value);
      } else {
        command.options.neutral = parseNeutralValues(value);
      }
    } catch (const std::invalid_argument& e) {
      return refuse(e.what());
    }
  }
  return command;
}

}  // namespace servo_controller
