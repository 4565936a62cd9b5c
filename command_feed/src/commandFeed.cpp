#include "commandFeed.h"

#include <sys/mman.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <string>

#include "feedState.h"
#include "log_datalayer.h"
#include "stopSignalWatcher.h"
#include "valueChange.h"

namespace CommandFeed {

namespace {

// The data area after the object word: 15 values and one padding byte.
constexpr unsigned kDataArea = 16;

static_assert(sizeof(UserDataStruct) >= sizeof(void*) + kDataArea, "data area must fit the record");

using Clock = std::chrono::steady_clock;

// Channel values the servo can carry; a wider byte must never be masked
// into this range (16 would become 0, a full reversal).
constexpr int kMaxValue = 15;

// Nothing but the neutral values is published before the operator's first.
UserDataStruct myUserDataStruct = neutralRecord(defaultNeutralValues());
std::mutex valuesLock;
std::mutex endLock;
// The publisher thread is detached: it may still signal its end while the host's exit
// runs static destructors, so the signal it uses is never destroyed.
std::condition_variable& ended = *new std::condition_variable;
ChannelValues neutral = defaultNeutralValues();
// Whether the operator has sent values yet; until then the values in force
// follow the neutral ones.
bool operatorSent = false;
// The dead-man (under valuesLock): off at zero; its clock runs from the
// last send() or setDeadMan().
Clock::duration deadManLimit = Clock::duration::zero();
Clock::time_point lastSign = Clock::now();

// Puts the neutral values in force; valuesLock held.
void holdNeutral() {
  std::copy(neutral.begin(), neutral.end(), myUserDataStruct.bramixData);
}

// Throws naming the first of the first count values outside 0..15.
void checkRange(const char* data, unsigned count) {
  for (unsigned i = 0; i < count; ++i) {
    const int value = static_cast<unsigned char>(data[i]);
    if (value > kMaxValue) {
      throw std::invalid_argument("value " + std::to_string(i) + " is " + std::to_string(value) +
                                  ", not 0.." + std::to_string(kMaxValue));
    }
  }
}

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
  if (!operatorSent) {
    holdNeutral();
  }
}

void setDeadMan(long long ms) {
  if (ms < 0 || ms > kMaxDeadManMs) {
    throw std::invalid_argument("outside 0.." + std::to_string(kMaxDeadManMs) + " ms (0 turns it off)");
  }
  std::lock_guard<std::mutex> guard(valuesLock);
  deadManLimit = std::chrono::milliseconds(ms);
  lastSign = Clock::now();
}

std::chrono::nanoseconds enforceDeadMan() {
  std::lock_guard<std::mutex> guard(valuesLock);
  if (deadManLimit == Clock::duration::zero()) {
    return std::chrono::nanoseconds::max();
  }
  const Clock::duration left = lastSign + deadManLimit - Clock::now();
  if (left > Clock::duration::zero()) {
    return left;
  }
  holdNeutral();
  return std::chrono::nanoseconds::max();
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
  checkRange(bounded, std::min(length, UserDataStruct::kChannels));
  return push(bounded, length);
}

int push(const char* data, unsigned length) {
  // The record's data area begins right after the object word, where the
  // values begin; the padding byte behind them belongs to the area too.
  unsigned char* area = reinterpret_cast<unsigned char*>(&myUserDataStruct) + sizeof(void*);
  bool differs = false;
  {
    std::lock_guard<std::mutex> guard(valuesLock);
    differs = memcmp(area, data, length) != 0;
    memcpy(area, data, length);
    operatorSent = operatorSent || length > 0;
    lastSign = Clock::now();
  }
  if (differs) {
    noteValuesChanged();
  }
  return 0;
}

}  // namespace CommandFeed
