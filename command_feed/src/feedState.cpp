#include "feedState.h"

#include "commandFeed.h"
#include "remoteControlContract.h"
#include "stopSignalWatcher.h"

namespace CommandFeed {

const char* const kAppName = remote_control_record::kContract.providerName;
std::atomic<bool>& stopProcess = VOK::processStop().flag();
std::atomic<bool> running{false};
std::mutex mx;
std::atomic<int> phase{0};

namespace {
std::mutex failureLock;
std::string failure;
}  // namespace

void setFailure(const std::string& text) {
  std::lock_guard<std::mutex> guard(failureLock);
  failure = text;
}

std::string publisherFailure() {
  std::lock_guard<std::mutex> guard(failureLock);
  return failure;
}

}  // namespace CommandFeed
