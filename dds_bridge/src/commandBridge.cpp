#include <chrono>
#include <cstdlib>
#include <string>

#include "RemoteCommand.h"
#include "appSignIn.h"
#include "bridgeModes.h"
#include "bridgeTopics.h"
#include "commandArray.h"
#include "cycloneConfiguration.h"
#include "remoteControlContract.h"
#include "log_datalayer.h"
#include "ringFollowing.h"
#include "stopSignalWatcher.h"

namespace dds_bridge {

namespace {

using remote_control_record::UserDataStruct;

const char component[] = "dds_bridge/src/commandBridge";
constexpr std::chrono::milliseconds kWritePause{10};
constexpr unsigned long long kWriteCycleUs = std::chrono::microseconds(kWritePause).count();
constexpr int kSignal = 10;
constexpr int kRefusedSetUp = 2;

// Whether commands may be taken in this configuration: with DDS Security
// Cyclone lets only authenticated, permitted writers match; without it, any
// writer of the domain would drive unless the operator said so.
bool mayTakeCommands(const BridgeOptions& options) {
  const char* configuration = std::getenv("CYCLONEDDS_URI");
  if (configurationHasSecurity(configuration != nullptr ? configuration : "")) {
    log(LOG_INFO, component, "Remote commands only from authenticated writers (DDS Security)");
    return true;
  }
  if (!options.allowUnauthenticated) {
    log(LOG_ERROR, component,
        "Not taking remote commands: the Cyclone DDS configuration has no DDS Security, so any writer of "
        "domain " + std::to_string(options.domain) + " could drive; configure it (security.xml) or start with "
        "--allow-unauthenticated");
    return false;
  }
  log(LOG_ERROR, component,
      "Warning: remote commands from unauthenticated writers (--allow-unauthenticated): any writer of domain " +
          std::to_string(options.domain) + " that Cyclone reaches may drive");
  return true;
}

}  // namespace

int publishCommand(const BridgeOptions& options, std::shared_ptr<IDdsFunctions> dds) {
  DdsEndpoint writer(std::move(dds), options.domain, commandTopic(), Role::Writer);
  UserDataStruct record;
  const RingWish command{remote_control_record::kContract.request("wish to bridge remote control"),
                         sizeof(UserDataStruct)};
  return followRing(command, record, options.serverInstance, [&](uint64_t) {
    const CommandArray array(channelValuesOf(record));
    writer.write(&array.sample());
  });
}

int subscribeCommand(const BridgeOptions& options, std::shared_ptr<IDdsFunctions> dds) {
  if (!mayTakeCommands(options)) {
    return kRefusedSetUp;
  }
  DdsEndpoint reader(std::move(dds), options.domain, commandTopic(), Role::Reader);
  RemoteCommand remote(reader, options.failsafe, options.neutral);
  UserDataStruct record = neutralRecord(options.neutral);
  std::unique_ptr<VOK::ProviderSession> session = VOK::signInAsProvider(
      {remote_control_record::kContract.providerName, "DDS bridge: remote control from rt/vok/command",
       options.serverInstance},
      remote_control_record::kContract.offer(kWriteCycleUs), record, {component, "", 0, component});
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
