#include "valueChange.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace CommandFeed {

namespace {

std::atomic<bool> writeOnChange{false};
std::mutex changeLock;
// Never destroyed, like the publisher's end signal: the detached publisher
// may still wait on it while the host's exit runs static destructors.
std::condition_variable& changed = *new std::condition_variable;
bool changePending = false;

}  // namespace

void setWriteOnChange(bool on) { writeOnChange = on; }

void noteValuesChanged() {
  if (!writeOnChange) {
    return;
  }
  {
    std::lock_guard<std::mutex> guard(changeLock);
    changePending = true;
  }
  changed.notify_one();
}

void awaitChangeOrTimeout(std::chrono::nanoseconds timeout) {
  std::unique_lock<std::mutex> lock(changeLock);
  changed.wait_for(lock, timeout, [] { return changePending; });
  changePending = false;
}

}  // namespace CommandFeed
