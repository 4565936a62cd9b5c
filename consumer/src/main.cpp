// Stand-alone entry of the frame relay: the same module as the library,
// run as a consumer program until SIGINT.
#include <cstdint>
#include <string>
#include <vector>

#include "FrameRelay.h"
#include "frameRelayExports.h"
#include "log_datalayer.h"
#include "optionLookup.h"
#include "runApp.h"
#include "stopSignalWatcher.h"

namespace {

const char mainComponent[] = "ZentorMotion(ZM)consumer/src/main";
const unsigned long long longestClientTimeoutS = 86400;
const unsigned long long longestFramePeriodUs = 3600000000ULL;

struct RelaySettings {
  unsigned long long lifetime = 10;  // read (and checked) for the command line's
                                     // sake: the broker hands it out
  unsigned long long instance = 0;
  unsigned long long clientTimeoutS = stream_default_client_timeout_us / 1000000;
  unsigned long long framePeriodUs = stream_default_frame_period_us;
  bool wakeOnRecord = false;
  bool timestamps = false;
};

VOK::OptionTable relayTable(RelaySettings& settings) {
  VOK::OptionTable table{
      "frame_relay",
      "[--lifetime|-l MS] [--serverinstance|-s N] [--client-timeout SECONDS] [--frame-period-us US]\n"
      "       [--wake-on-record] [--timestamps]",
      "Serves the camera frames of the broker's camera provider as an MJPEG "
      "stream on port 2020\n"
      "until SIGINT. Numbers in C notation; the long form wins over the short "
      "one.\n",
      {{"--lifetime", "-l", "MS", "segment lifetime (default 10)", VOK::numberInto(settings.lifetime)},
       {"--serverinstance", "-s", "N", "sign in to the broker listed N-th by pidof (default 0)",
        VOK::numberInto(settings.instance)},
       // 0 would let stalled clients hold their slots for good.
       {"--client-timeout", "", "SECONDS", "close a viewer that took no bytes for so long, 1..86400 (default 10)",
        VOK::numberInto(settings.clientTimeoutS, 1, longestClientTimeoutS)},
       {"--frame-period-us", "", "US",
        "least time between two frames to one viewer, 1..3600000000 (default 45453, about 22 a second)",
        VOK::numberInto(settings.framePeriodUs, 1, longestFramePeriodUs)},
       {"--wake-on-record", "", "",
        "hand each camera frame on as it is written while someone watches, besides the 150 ms passes",
        VOK::flagInto(settings.wakeOnRecord)},
       {"--timestamps", "", "",
        "add the moment the camera took each frame to its part as X-Timestamp: SECONDS.MICROSECONDS",
        VOK::flagInto(settings.timestamps)}},
      "Exit status: 0 after SIGINT, 255 for a refused command line.\n"};
  table.wording.badNumber = [](const VOK::Option& option, const std::string&, const std::string&) {
    return option.name + " must be " + std::to_string(option.value.low) + " to " + std::to_string(option.value.high) +
           (option.name == "--frame-period-us" ? " microseconds" : " seconds");
  };
  return table;
}

// Relays frames until the process's stop; the status of disconnect (0).
int relayUntilStopped(const RelaySettings& settings) {
  FrameRelay& relay = frameRelay();
  relay.setClientTimeout(static_cast<int64_t>(settings.clientTimeoutS) * 1000000);
  relay.setFramePeriod(static_cast<int64_t>(settings.framePeriodUs));
  relay.setWakeOnRecord(settings.wakeOnRecord);
  relay.setPartStamps(settings.timestamps);
  std::vector<char> buffer(UserDataStruct::frameBytes, 0);
  if (relay.connect(static_cast<unsigned>(settings.instance)) == 0) {
    relay.receive(nullptr, buffer.data(), static_cast<unsigned>(buffer.size()));
  }
  VOK::processStop().waitForStop();
  relay.stop();
  // The buffer must outlive the dispatcher, which ends with the reader.
  relay.joinReader();
  return relay.disconnect();
}

}  // namespace

int main(int argc, char** argv) {
  RelaySettings settings;
  const VOK::CommandOutcome command = VOK::readLookedUp(relayTable(settings), argc, const_cast<const char**>(argv));
  if (command.action == VOK::CommandAction::Help) {
    return *VOK::answerInstead(command);
  }
  if (command.action == VOK::CommandAction::Refuse) {
    log(LOG_ERROR, mainComponent, command.reason);
    return -1;
  }
  return VOK::runApp({mainComponent, mainComponent, {SIGINT}, true}, [&] { return relayUntilStopped(settings); });
}
