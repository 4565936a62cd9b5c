// vok_dds_bridge: carries a ring of the broker to a DDS topic, or a DDS topic
// into the remote-control ring, so that stations on other machines (ROS 2
// among them) see the camera and drive the machine.
#include <csignal>
#include <optional>
#include <string>
#include <vector>

#include "DdsWrapperCyclone.h"
#include "bridgeModes.h"
#include "bridgeOptions.h"
#include "runApp.h"

namespace {

const char mainComponent[] = "vok_dds_bridge/src/main";

int runBridge(const dds_bridge::BridgeOptions& options) {
  auto dds = std::make_shared<dds_bridge::DdsWrapperCyclone>();
  switch (options.mode) {
    case dds_bridge::BridgeMode::PublishCamera:
      return dds_bridge::publishCamera(options, dds);
    case dds_bridge::BridgeMode::PublishCommand:
      return dds_bridge::publishCommand(options, dds);
    case dds_bridge::BridgeMode::SubscribeCommand:
      return dds_bridge::subscribeCommand(options, dds);
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const dds_bridge::BridgeCommand command =
      dds_bridge::readBridgeOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (const std::optional<int> status = VOK::answerInstead(command)) {
    return *status;
  }
  // A failure ends the bridge with its error line and status 1, so that a
  // launcher restarts the chain.
  return VOK::runApp({mainComponent, mainComponent, {SIGINT, SIGTERM}, false},
                     [&] { return runBridge(command.options); });
}
