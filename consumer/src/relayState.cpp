#include "relayState.h"

#include <stdexcept>
#include <utility>

#include "RelayWrapperLinux.h"

namespace frame_relay {

UserDataStruct myUserDataStruct;
unsigned long long segmentLifeTime = 10;
unsigned long long serverInstanceNum = 0;
std::atomic<bool> stopProcess{false};
sem_t semDataReceived;
StayReceivingArgs stayReceiving_args{};
pthread_mutex_t mx = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t mx1 = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t mx2 = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t mx3 = PTHREAD_MUTEX_INITIALIZER;
stream stm = {-1, nullptr, nullptr, 0, 0, 0, nullptr, nullptr};
int cnt_current_streams = 0;
RelayThreads threads;

namespace {

// Never destroyed: the threads may still use it while the host process ends.
std::shared_ptr<IRelayFunctions>& functionsSlot() {
  static auto* functions =
      new std::shared_ptr<IRelayFunctions>(std::make_shared<RelayWrapperLinux>());
  return *functions;
}

}  // namespace

IRelayFunctions& relayFunctions() { return *functionsSlot(); }

void relayUseFunctions(std::shared_ptr<IRelayFunctions> functions) {
  if (!functions) {
    throw std::invalid_argument("relayUseFunctions: functions must not be null");
  }
  functionsSlot() = std::move(functions);
}

}  // namespace frame_relay
