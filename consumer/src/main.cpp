// Stand-alone entry of the frame relay: the same module as the library,
// run as a consumer program until SIGINT.
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "CommandParser.h"
#include "FrameRelay.h"
#include "frameRelayExports.h"
#include "log_datalayer.h"
#include "realTime.h"
#include "stopSignalWatcher.h"

namespace {

const char mainComponent[] = "ZentorMotion(ZM)consumer/src/main";
const unsigned long long longestClientTimeoutS = 86400;
const unsigned long long longestFramePeriodUs = 3600000000ULL;

// The option's value; shortName may be null.
unsigned long long option(const char* longName, const char* shortName, int argc, char** argv,
                          unsigned long long fallback) {
  const VOK::CommandParser parser;
  unsigned long long value = 0;
  const auto** args = const_cast<const char**>(argv);
  if (parser.parseArguments(longName, argc, args, value) ||
      (shortName != nullptr && parser.parseArguments(shortName, argc, args, value))) {
    return value;
  }
  return fallback;
}

// Seconds a stream client may take no bytes; 0 would let stalled clients
// hold their slots for good, so it is refused like any value out of range.
int64_t clientTimeoutUs(int argc, char** argv) {
  const unsigned long long seconds =
      option("--client-timeout", nullptr, argc, argv, stream_default_client_timeout_us / 1000000);
  if (seconds < 1 || seconds > longestClientTimeoutS) {
    throw std::invalid_argument("--client-timeout must be 1 to " +
                                std::to_string(longestClientTimeoutS) + " seconds");
  }
  return static_cast<int64_t>(seconds) * 1000000;
}

// Whether the flag (an option without value) is on the command line.
bool flag(const std::string& name, int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (name == argv[i]) {
      return true;
    }
  }
  return false;
}

// Microseconds between two frames to one stream client; 0 or past an hour
// is refused.
int64_t framePeriodUs(int argc, char** argv) {
  const unsigned long long period =
      option("--frame-period-us", nullptr, argc, argv, stream_default_frame_period_us);
  if (period < 1 || period > longestFramePeriodUs) {
    throw std::invalid_argument("--frame-period-us must be 1 to " +
                                std::to_string(longestFramePeriodUs) + " microseconds");
  }
  return static_cast<int64_t>(period);
}

}  // namespace

int main(int argc, char** argv) {
  unsigned instance = 0;
  int64_t timeoutUs = 0;
  int64_t periodUs = 0;
  try {
    // The lifetime is the broker's to hand out; the option is read (and
    // checked) only for the command line's sake.
    option("--lifetime", "-l", argc, argv, 10);
    instance = static_cast<unsigned>(option("--serverinstance", "-s", argc, argv, 0));
    timeoutUs = clientTimeoutUs(argc, argv);
    periodUs = framePeriodUs(argc, argv);
  } catch (const std::exception& e) {
    log(LOG_ERROR, mainComponent, e.what());
    return -1;
  }
  VOK::becomeRealTime();
  FrameRelay& relay = frameRelay();
  relay.setClientTimeout(timeoutUs);
  relay.setFramePeriod(periodUs);
  relay.setWakeOnRecord(flag("--wake-on-record", argc, argv));
  relay.setPartStamps(flag("--timestamps", argc, argv));
  VOK::watchStopSignals(mainComponent, {SIGINT}, [] { frameRelay().stop(); });
  std::vector<char> buffer(UserDataStruct::frameBytes, 0);
  if (relay.connect(instance) == 0) {
    relay.receive(nullptr, buffer.data(), static_cast<unsigned>(buffer.size()));
  }
  VOK::waitForStopSignal();
  // The buffer must outlive the dispatcher, which ends with the reader.
  relay.joinReader();
  return relay.disconnect();
}
