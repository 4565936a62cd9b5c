// Stand-alone entry of the frame relay: the same module as the library,
// run as a consumer program until SIGINT.
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <exception>
#include <string>
#include <vector>

#include "CommandParser.h"
#include "frameRelay.h"
#include "log_datalayer.h"
#include "pollPause.h"
#include "relayState.h"

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

void becomeRealTime() {
  sched_param priority{};
  priority.sched_priority = 30;
  relayFunctions()._sched_setscheduler(SCHED_FIFO, &priority);
#if !defined(__SANITIZE_ADDRESS__)
  // The sanitizer's shadow memory is far too large to lock.
  relayFunctions()._mlockall(MCL_CURRENT | MCL_FUTURE);
#endif
  struct sigaction action {};
  action.sa_handler = ctrl_c_handler;
  sigemptyset(&action.sa_mask);
  relayFunctions()._sigaction(SIGINT, &action);
}

}  // namespace

void ctrl_c_handler(int) {
  logSignalSafe(LOG_INFO, mainComponent, "Caught Stop-signal");
  stopProcess = true;
}

int main(int argc, char** argv) {
  try {
    segmentLifeTime = option("--lifetime", "-l", argc, argv, 10);
    serverInstanceNum = option("--serverinstance", "-s", argc, argv, 0);
  } catch (const std::exception& e) {
    log(LOG_ERROR, mainComponent, e.what());
    return -1;
  }
  becomeRealTime();
  std::vector<char> buffer(UserDataStruct::frameBytes, 0);
  if (VOK_connect() == 0) {
    VOK_receive(nullptr, buffer.data(), static_cast<int>(buffer.size()));
  }
  while (!stopProcess) {
    VOK::sleepNanoseconds(1000000L);
  }
  // The buffer must outlive the dispatcher, which ends with the reader.
  threads.joinReader();
  return VOK_disconnect();
}
