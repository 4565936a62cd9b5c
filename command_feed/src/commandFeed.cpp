#include "commandFeed.h"

#include <sys/mman.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>

#include "feedState.h"
#include "log_datalayer.h"
#include "stopSignalWatcher.h"

namespace CommandFeed {

namespace {

// The data area after the object word: 15 values and one padding byte.
constexpr unsigned kDataArea = 16;

static_assert(sizeof(UserDataStruct) >= sizeof(void*) + kDataArea, "data area must fit the record");

UserDataStruct myUserDataStruct;
std::mutex valuesLock;
std::mutex endLock;
// The publisher thread is detached: it may still signal its end while the host's exit
// runs static destructors, so the signal it uses is never destroyed.
std::condition_variable& ended = *new std::condition_variable;
ChannelValues neutral = defaultNeutralValues();

}  // namespace

UserDataStruct& currentValues() { return myUserDataStruct; }

std::mutex& dataLock() { return valuesLock; }

bool publisherRunning() { return running; }

void publisherEnded() {
  {
    std::lock_guard<std::mutex> guard(endLock);
    running = false;
  }
  ended.notify_all();
}

Phase publisherPhase() { return static_cast<Phase>(phase.load()); }

ChannelValues neutralValues() {
  std::lock_guard<std::mutex> guard(valuesLock);
  return neutral;
}

void setNeutralValues(const ChannelValues& values) {
  std::lock_guard<std::mutex> guard(valuesLock);
  neutral = values;
}

bool stopPublisher(unsigned timeoutMs) {
  VOK::processStop().requestStop();
  std::unique_lock<std::mutex> lock(endLock);
  return ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), [] { return !running; });
}

void installStopHandler() { VOK::watchStopSignals(kAppName, {SIGINT}); }

int disconnect() {
  munlockall();
  return 0;
}

int send(const char* data, size_t available, unsigned length) {
  if (length > kDataArea) {
    return -1;
  }
  char bounded[kDataArea] = {};
  memcpy(bounded, data, std::min<size_t>(available, length));
  return push(bounded, length);
}

int push(const char* data, unsigned length) {
  // The record's data area begins right after the object word, where the
  // values begin; the padding byte behind them belongs to the area too.
  std::lock_guard<std::mutex> guard(valuesLock);
  memcpy(reinterpret_cast<unsigned char*>(&myUserDataStruct) + sizeof(void*), data, length);
  return 0;
}

}  // namespace CommandFeed
