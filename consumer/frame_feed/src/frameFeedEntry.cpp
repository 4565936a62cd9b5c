// The stand-in camera's one entry point: VOK_connect1(broker pid) starts the
// feed in a thread of its own and returns at once.
#include <cstdlib>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

#include "FrameFeed.h"
#include "stopSignalWatcher.h"
#include "logFailure.h"
#include "log_datalayer.h"

namespace {

const char kComponent[] = "ZentorMotion(ZM)frame_feed::VOK_connect1()";

std::mutex startLock;
// Never destroyed, like the thread that waits on it.
VOK::StopSource& stopFeed() {
  static VOK::StopSource* const source = new VOK::StopSource;
  return *source;
}
// Never destroyed: the thread may still run while the host ends.
std::thread* feedThread = nullptr;

void feed(int brokerPid) {
  // Whatever goes wrong ends the feed only, never its host.
  runLoggingFailure(kComponent, [&] { runFrameFeed(brokerPid, stopFeed()); });
}

// At the host's exit: end the feed, so that it removes its ring.
void stopAtExit() {
  stopFeed().requestStop();
  if (feedThread != nullptr && feedThread->joinable()) {
    feedThread->join();
  }
}

}  // namespace

// Starts the feed for the broker with this pid. 0 when started; 2 when a feed
// runs already or no thread could be made.
extern "C" __attribute__((visibility("default"))) int VOK_connect1(int brokerPid) {
  std::lock_guard<std::mutex> guard(startLock);
  if (feedThread != nullptr) {
    log(LOG_ERROR, kComponent, "feed already running");
    return 2;
  }
  try {
    feedThread = new std::thread(feed, brokerPid);
  } catch (const std::exception& e) {
    log(LOG_ERROR, kComponent, std::string("unable to create thread: ") + e.what());
    return 2;
  }
  std::atexit(stopAtExit);
  return 0;
}
