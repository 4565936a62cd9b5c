#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "appSignIn.h"
#include "channelText.h"
#include "commandFeed.h"
#include "feedState.h"
#include "logFailure.h"
#include "log_datalayer.h"
#include "remoteControlContract.h"
#include "stopSignalWatcher.h"
#include "valueChange.h"

namespace CommandFeed {

namespace {

// The ring is sized for a 1 us cycle although the publisher writes every
// 150 ms: far more segments than needed, so readers always finish in time.
constexpr unsigned long long kCycleTimeUs = 1;
constexpr std::chrono::milliseconds kPublishPause{150};

// Signs in as provider of bramixData; the session owns the ring that its
// writer fills.
std::unique_ptr<VOK::ProviderSession> signIn(UserDataStruct& data, const std::string& component) {
  std::lock_guard<std::mutex> signingIn(mx);
  return VOK::signInAsProvider(
      {kAppName}, remote_control_record::kContract.offer(kCycleTimeUs), data,
      {component, "socketfd: ", sizeof(UserDataStruct), component + "connect()"});
}

void publish(VOK::ProviderSession& publisher, UserDataStruct& data, const VOK::StopSource& stop) {
  while (!stop.stopRequested()) {
    // The dead-man is checked here, not in the host's thread, so that a
    // hung interpreter still ends on the neutral values; the pass wakes
    // when it runs out rather than up to a pause later.
    const std::chrono::nanoseconds deadManLeft = enforceDeadMan();
    std::string text;
    {
      std::lock_guard<std::mutex> consistent(dataLock());
      publisher.writer.writeUserData(&data);
      text = channelText(data);
    }
    printf("\033[H\033[JSENT: %s", text.c_str());
    fflush(stdout);
    awaitChangeOrTimeout(std::min<std::chrono::nanoseconds>(kPublishPause, deadManLeft));
  }
  // Consumers keep the last record of a ring whose writer is gone, so the
  // last one holds the machine at rest.
  UserDataStruct rest = neutralRecord(neutralValues());
  publisher.writer.writeUserData(&rest);
}

// The text of what ended body early, for publisherFailure(); rethrown, so
// that the boundary logs it as usual.
void keepingFailure(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& e) {
    setFailure(e.what());
    throw;
  }
}

}  // namespace

int connect() {
  installStopHandler();
  // A second publisher would sign in with the same provide and fail to
  // create its ring, so only one runs at a time.
  bool idle = false;
  if (!running.compare_exchange_strong(idle, true)) {
    return -1;
  }
  setFailure("");
  phase = static_cast<int>(Phase::SigningIn);
  pthread_t thread;
  if (pthread_create(&thread, nullptr, stayAlive, &currentValues()) != 0) {
    phase = static_cast<int>(Phase::Ended);
    setFailure("unable to create thread");
    publisherEnded();
    log(LOG_INFO, "connect(), stayAlive", "unable to create thread");
    return -1;
  }
  pthread_detach(thread);
  return 0;
}

void* stayAlive(void* object) {
  const std::string component = std::string(kAppName) + "::stayAlive()";
  auto& data = *static_cast<UserDataStruct*>(object);
  // A failed sign-in ends this thread with an error line; the host process
  // and its interpreter go on.
  const bool orderly = runLoggingFailure(component, [&] {
    keepingFailure([&] {
      std::unique_ptr<VOK::ProviderSession> publisher = signIn(data, component);
      phase = static_cast<int>(Phase::Publishing);
      publish(*publisher, data, VOK::processStop());
    });
  });
  if (!orderly && publisherFailure().empty()) {
    setFailure("the publisher failed (see its ERR: line)");
  }
  phase = static_cast<int>(Phase::Ended);
  // Releasing the connection unlinks the ring's name, so that nothing is
  // left in /dev/shm once publishing has ended.
  publisherEnded();
  return nullptr;
}

}  // namespace CommandFeed
