// Stand-alone entry of the frame relay: the same module as the library,
// run as a consumer program until SIGINT.
#include <exception>
#include <string>
#include <vector>

#include "CommandParser.h"
#include "frameRelay.h"
#include "log_datalayer.h"
#include "realTime.h"
#include "relayState.h"
#include "stopSignalWatcher.h"

using namespace frame_relay;

namespace {

const char mainComponent[] = "ZentorMotion(ZM)consumer/src/main";

unsigned long long option(const char* longName, const char* shortName, int argc, char** argv,
                          unsigned long long fallback) {
  const VOK::CommandParser parser;
  unsigned long long value = 0;
  const auto** args = const_cast<const char**>(argv);
  if (parser.parseArguments(longName, argc, args, value) ||
      parser.parseArguments(shortName, argc, args, value)) {
    return value;
  }
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    segmentLifeTime = option("--lifetime", "-l", argc, argv, 10);
    serverInstanceNum = option("--serverinstance", "-s", argc, argv, 0);
  } catch (const std::exception& e) {
    log(LOG_ERROR, mainComponent, e.what());
    return -1;
  }
  VOK::becomeRealTime();
  VOK::watchStopSignals(mainComponent, {SIGINT}, [] { stopProcess = true; });
  std::vector<char> buffer(UserDataStruct::frameBytes, 0);
  if (VOK_connect() == 0) {
    VOK_receive(nullptr, buffer.data(), static_cast<int>(buffer.size()));
  }
  VOK::waitForStopSignal();
  // The buffer must outlive the dispatcher, which ends with the reader.
  threads.joinReader();
  return VOK_disconnect();
}
