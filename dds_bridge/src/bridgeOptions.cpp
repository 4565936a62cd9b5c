#include "bridgeOptions.h"

#include <optional>
#include <stdexcept>

namespace dds_bridge {

namespace {

// The highest domain whose ports the DDS wire protocol's port rule can give.
constexpr unsigned long kHighestDomain = 232;
constexpr unsigned long kLongestFailsafeMs = 3600000;

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

// The value of --publish or --subscribe: the mode, given once.
VOK::OptionValue modeInto(std::optional<BridgeMode>& mode, const std::string& option) {
  return VOK::textTo([&mode, option](const std::string& value) {
    if (mode) {
      throw std::invalid_argument("one --publish or --subscribe only");
    }
    mode = modeOf(option, value);
  });
}

VOK::OptionTable bridgeTable(BridgeOptions& options, std::optional<BridgeMode>& mode) {
  return {
      "vok_dds_bridge",
      "--publish camera|command | --subscribe command [--domain N] "
      "[--failsafe MS] [--neutral V,...] "
      "[-s|--serverinstance N] [--allow-unauthenticated]",
      "Bridges a ring of the broker to a DDS topic (Cyclone DDS, configured through\n"
      "CYCLONEDDS_URI; without it, on this machine's loopback only) with the layouts\n"
      "of ROS 2's messages.\n",
      {{"--publish", "", "camera|command",
        "camera: the frames as rt/vok/camera/compressed "
        "(sensor_msgs/msg/CompressedImage, best effort); "
        "command: the remote-control values as rt/vok/command "
        "(std_msgs/msg/Int8MultiArray, reliable)",
        modeInto(mode, "--publish")},
       {"--subscribe", "", "command",
        "be the provider of the remote-control values and write what "
        "arrives on rt/vok/command into their ring",
        modeInto(mode, "--subscribe")},
       {"--domain", "", "N", "the DDS domain, 0..232 (default 0)", VOK::numberInto(options.domain, 0, kHighestDomain)},
       {"--failsafe", "", "MS",
        "subscribing: the neutral values once no command came for MS "
        "milliseconds, 1..3600000 (default 500)",
        VOK::numberTo([&options](unsigned long long ms) { options.failsafe = std::chrono::milliseconds(ms); }, 1,
                      kLongestFailsafeMs)},
       {"--neutral", "", "V,...",
        "subscribing: the neutral values for channels 0, 1, ... (up to 14 "
        "values 0..15; default 8 for channels "
        "0..13)",
        VOK::textTo([&options](const std::string& text) { options.neutral = parseNeutralValues(text); })},
       {"--serverinstance", "-s", "N", "sign in to the broker listed N-th by pidof (default 0)",
        VOK::numberInto(options.serverInstance, 0, VOK::kHighestServerInstance)},
       {"--allow-unauthenticated", "", "",
        "subscribing without DDS Security in the configuration: take commands from any writer of the domain "
        "(refused otherwise)",
        VOK::flagInto(options.allowUnauthenticated)}}};
}

}  // namespace

BridgeCommand readBridgeOptions(const std::vector<std::string>& arguments) {
  BridgeCommand command;
  std::optional<BridgeMode> mode;
  const VOK::OptionTable table = bridgeTable(command.options, mode);
  static_cast<VOK::CommandOutcome&>(command) = VOK::readCommandLine(table, arguments);
  if (command.action != VOK::CommandAction::Run) {
    return command;
  }
  if (!mode) {
    static_cast<VOK::CommandOutcome&>(command) = VOK::refusal(table, "--publish or --subscribe is needed");
    return command;
  }
  if (command.options.allowUnauthenticated && *mode != BridgeMode::SubscribeCommand) {
    static_cast<VOK::CommandOutcome&>(command) =
        VOK::refusal(table, "--allow-unauthenticated is for --subscribe command only");
    return command;
  }
  command.options.mode = *mode;
  return command;
}

}  // namespace dds_bridge
