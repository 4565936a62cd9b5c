#include <chrono>

#include "RemoteCommand.h"
#include "appSignIn.h"
#include "bridgeModes.h"
#include "bridgeTopics.h"
#include "commandArray.h"
#include "ringFollowing.h"
#include "stopSignalWatcher.h"

namespace dds_bridge {

namespace {

using remote_control_record::UserDataStruct;

// The remote-control block's provider name, which the servo controller asks for.
const char kProvider[] = "Remote_open_control_kit_enabled_target_(Zentor)";
const char component[] = "dds_bridge/src/commandBridge";
constexpr std::chrono::milliseconds kWritePause{10};
constexpr unsigned long long kWriteCycleUs = std::chrono::microseconds(kWritePause).count();
constexpr int kSignal = 10;

}  // namespace

int publishCommand(const BridgeOptions& options, std::shared_ptr<IDdsFunctions> dds) {
  DdsEndpoint writer(std::move(dds), options.domain, commandTopic(), Role::Writer);
  UserDataStruct record;
  const RingWish command{kProvider, "wish to bridge remote control",
                         Symbol("bramixData", "int8_t", UserDataStruct::kChannels, 0), sizeof(UserDataStruct)};
  return followRing(command, record, options.serverInstance, [&] {
    const CommandArray array(channelValuesOf(record));
    writer.write(&array.sample());
  });
}

int subscribeCommand(const BridgeOptions& options, std::shared_ptr<IDdsFunctions> dds) {
  DdsEndpoint reader(std::move(dds), options.domain, commandTopic(), Role::Reader);
  RemoteCommand remote(reader, options.failsafe, options.neutral);
  UserDataStruct record = neutralRecord(options.neutral);
  std::unique_ptr<VOK::ProviderSession> session = VOK::signInAsProvider(
      {kProvider, "DDS bridge: remote control from rt/vok/command", options.serverInstance},
      {std::string(kProvider) + "Shm", "Zentor for Bramix", "V0.1", kSignal, kWriteCycleUs, sizeof(UserDataStruct)},
      record, {component, "", 0, component});
  do {
    record = neutralRecord(remote.valuesAt(RemoteCommand::Clock::now()));
    session->writer.writeUserData(&record);
  } while (!VOK::processStop().waitForStop(kWritePause));
  // Readers keep the last record of a ring whose writer is gone.
  record = neutralRecord(options.neutral);
  session->writer.writeUserData(&record);
  return 0;
}

}  // namespace dds_bridge
