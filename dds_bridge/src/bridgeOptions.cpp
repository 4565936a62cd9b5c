#include "bridgeOptions.h"

#include <optional>
#include <stdexcept>

#include "optionNumber.h"

namespace dds_bridge {

namespace {

// The highest domain whose ports the DDS wire protocol's port rule can give.
constexpr unsigned long kHighestDomain = 232;
constexpr unsigned long kLongestFailsafeMs = 3600000;

const char kUsage[] =
    "usage: vok_dds_bridge --publish camera|command | --subscribe command\n"
    "                      [--domain N] [--failsafe MS] [--neutral V,...] [-s|--serverinstance N]\n"
    "                      [--allow-unauthenticated]\n"
    "Bridges a ring of the broker to a DDS topic (Cyclone DDS, configured through\n"
    "CYCLONEDDS_URI; without it, on this machine's loopback only) with the layouts\n"
    "of ROS 2's messages.\n"
    "  --publish camera     the camera frames as rt/vok/camera/compressed\n"
    "                       (sensor_msgs/msg/CompressedImage, best effort)\n"
    "  --publish command    the remote-control values as rt/vok/command\n"
    "                       (std_msgs/msg/Int8MultiArray, reliable)\n"
    "  --subscribe command  be the provider of the remote-control values and write\n"
    "                       what arrives on rt/vok/command into their ring\n"
    "  --domain N           the DDS domain, 0..232 (default 0)\n"
    "  --failsafe MS        subscribing: the neutral values once no command came\n"
    "                       for MS milliseconds, 1..3600000 (default 500)\n"
    "  --neutral V,...      subscribing: the neutral values for channels 0, 1, ...\n"
    "                       (up to 14 values 0..15; default 8 for channels 0..13)\n"
    "  -s, --serverinstance N  sign in to the broker listed N-th by pidof (default 0)\n"
    "  --allow-unauthenticated  subscribing without DDS Security in the configuration:\n"
    "                       take commands from any writer of the domain (refused otherwise)\n";

BridgeMode modeOf(const std::string& option, const std::string& value) {
  if (option == "--publish" && value == "camera") {
    return BridgeMode::PublishCamera;
  }
  if (option == "--publish" && value == "command") {
    return BridgeMode::PublishCommand;
  }
  if (option == "--subscribe" && value == "command") {
    return BridgeMode::SubscribeCommand;
  }
  throw std::invalid_argument(option + " takes " + (option == "--publish" ? "camera or command" : "command") +
                              ", not \"" + value + "\"");
}

void readOption(const std::string& option, const std::string& value, BridgeOptions& options,
                std::optional<BridgeMode>& mode) {
  if (option == "--publish" || option == "--subscribe") {
    if (mode) {
      throw std::invalid_argument("one --publish or --subscribe only");
    }
    mode = modeOf(option, value);
  } else if (option == "--domain") {
    options.domain = static_cast<uint32_t>(VOK::optionNumber(option, value, 0, kHighestDomain));
  } else if (option == "--failsafe") {
    options.failsafe = std::chrono::milliseconds(VOK::optionNumber(option, value, 1, kLongestFailsafeMs));
  } else if (option == "--neutral") {
    options.neutral = parseNeutralValues(value);
  } else if (option == "--serverinstance" || option == "-s") {
    options.serverInstance = static_cast<unsigned>(VOK::optionNumber(option, value, 0, 63));
  } else {
    throw std::invalid_argument("unknown option \"" + option + "\"");
  }
}

}  // namespace

BridgeCommand readBridgeOptions(const std::vector<std::string>& arguments) {
  BridgeCommand command;
  std::optional<BridgeMode> mode;
  try {
    for (size_t i = 0; i < arguments.size(); ++i) {
      const std::string& option = arguments[i];
      if (option == "--help" || option == "-h") {
        return {BridgeCommand::Action::Help, {}, kUsage};
      }
      if (option == "--allow-unauthenticated") {
        command.options.allowUnauthenticated = true;
        continue;
      }
      if (i + 1 == arguments.size()) {
        throw std::invalid_argument(option + " needs a value");
      }
      readOption(option, arguments[++i], command.options, mode);
    }
    if (!mode) {
      throw std::invalid_argument("--publish or --subscribe is needed");
    }
    if (command.options.allowUnauthenticated && *mode != BridgeMode::SubscribeCommand) {
      throw std::invalid_argument("--allow-unauthenticated is for --subscribe command only");
    }
  } catch (const std::invalid_argument& e) {
    return {BridgeCommand::Action::Refuse, {}, std::string("vok_dds_bridge: ") + e.what() + "\n" + kUsage};
  }
  command.options.mode = *mode;
  return command;
}

}  // namespace dds_bridge
