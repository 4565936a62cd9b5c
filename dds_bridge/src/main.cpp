// vok_dds_bridge: carries a ring of the broker to a DDS topic, or a DDS topic
// into the remote-control ring, so that stations on other machines (ROS 2
// among them) see the camera and drive the machine.
#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "DdsWrapperCyclone.h"
#include "bridgeModes.h"
#include "bridgeOptions.h"
#include "cycloneConfiguration.h"
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
  // Without a configuration Cyclone would go out on the first interface
  // with multicast discovery: the bridge stays on this machine instead.
  const char* configuration = std::getenv("CYCLONEDDS_URI");
  if (configuration == nullptr || *configuration == '\0') {
    ::setenv("CYCLONEDDS_URI", dds_bridge::kLoopbackConfiguration, 1);
  }
  // A failure ends the bridge with its error line and status 1, so that a
  // launcher restarts the chain.
  return VOK::runApp({mainComponent, mainComponent, {SIGINT, SIGTERM}, false},
                     [&] { return runBridge(command.options); });
}
