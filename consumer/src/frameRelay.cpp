// The relay's entry points: starting the reader and the dispatcher.
#include "frameRelay.h"

#include <mutex>
#include <string>

#include "log_datalayer.h"
#include "relayState.h"

using namespace frame_relay;

namespace {

// Serialises receive calls, so that exactly one of them sets the callback.
std::mutex receiveLock;

void* popCallback(char* buffer, unsigned length) { return pop(buffer, length); }

int refuse(LOG_CAT category, const std::string& component, const char* message) {
  log(category, component, message);
  return 2;
}

}  // namespace

int connect() {
  const std::string component = std::string(appName) + " connect(), stayAlive";
  switch (threads.startReader(relayFunctions(), stayAlive, &myUserDataStruct)) {
    case RelayThreads::Start::Started:
      return 0;
    case RelayThreads::Start::AlreadyRunning:
      // A second reader would re-initialise the semaphore under the first.
      return refuse(LOG_ERROR, component, "reader already running");
    default:
      return refuse(LOG_INFO, component, "unable to create thread");
  }
}

int connect(unsigned instance) {
  serverInstanceNum = instance;
  return connect();
}

int disconnect() {
  relayFunctions()._munlockall();
  return 0;
}

int receive(Callback callback, char* buffer, unsigned length) {
  const std::string component = std::string(appName) + isConsumer + "::receive()";
  std::lock_guard<std::mutex> guard(receiveLock);
  if (stayReceiving_args.callback != nullptr) {
    return refuse(LOG_ERROR, component, "calling twice not supported");
  }
  if (length > UserDataStruct::frameBytes) {
    return refuse(LOG_ERROR, component, "parameter oversize");
  }
  if (buffer == nullptr && length > 0) {
    return refuse(LOG_ERROR, component, "buffer must not be null");
  }
  stayReceiving_args = {&myUserDataStruct, callback != nullptr ? callback : popCallback, buffer,
                        length};
  switch (threads.startDispatcher(relayFunctions(), stayReceiving, &stayReceiving_args)) {
    case RelayThreads::Start::Started:
      return 0;
    case RelayThreads::Start::NoReader:
      // Without a reader the semaphore does not exist; a later call may try again.
      stayReceiving_args.callback = nullptr;
      return refuse(LOG_ERROR, component, "no frame reader running, call VOK_connect first");
    default:
      return refuse(LOG_ERROR, component, "unable to create thread");
  }
}

extern "C" {

int VOK_connect() { return connect(); }

int VOK_connect1(int instance) { return connect(static_cast<unsigned>(instance)); }

int VOK_receive(void* callback, char* buffer, int length) {
  return receive(reinterpret_cast<Callback>(callback), buffer, static_cast<unsigned>(length));
}

int VOK_disconnect() { return disconnect(); }
}
