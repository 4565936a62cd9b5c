#include "brokerRejoin.h"

#include "log_datalayer.h"
#include "socketHandler.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace VOK {

namespace {

const char kComponent[] = "vok_support/src/brokerRejoin";
// How often the broker's end of the socket is looked at.
constexpr std::chrono::milliseconds kLookInterval{200};
// At most this many looks pass between two attempts (about 6 s).
constexpr unsigned kMostLooksToSkip = 32;

}  // namespace

BrokerRejoin::BrokerRejoin(ConfigurationData description, int socketFd, unsigned brokerIndex,
                           std::shared_ptr<ISocketHandlerFunctions> functions)
    : description(std::move(description)), socketFd(socketFd), brokerIndex(brokerIndex),
      functions(std::move(functions)) {
  if (!this->functions) {
    throw std::invalid_argument("Error: BrokerRejoin: SocketWrapperLinux must not be null");
  }
  worker = std::thread([this] { watch(); });
}

BrokerRejoin::~BrokerRejoin() {
  {
    std::lock_guard<std::mutex> guard(lock);
    stopping = true;
  }
  wake.notify_all();
  worker.join();
}

void BrokerRejoin::watch() {
  std::unique_lock<std::mutex> guard(lock);
  while (!wake.wait_for(guard, kLookInterval, [this] { return stopping; })) {
    guard.unlock();
    if (looksToSkip > 0) {
      --looksToSkip;
    } else if (brokerLeft()) {
      signInAgain();
    }
    guard.lock();
  }
}

// The broker never writes after its reply, so a readable end without data is a closed one.
bool BrokerRejoin::brokerLeft() {
  if (socketFd <= 0) {
    return true;
  }
  char byte = 0;
  errno = 0;
  if (functions->_recv(socketFd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) > 0 || errno == EAGAIN ||
      errno == EWOULDBLOCK || errno == EINTR) {
    return false;
  }
  log(LOG_INFO, kComponent, description.getAppData().getApplicationName() + ": the broker left; signing in again");
  functions->_close(socketFd);
  socketFd = 0;
  current.reset();
  return true;
}

void BrokerRejoin::signInAgain() {
  if (SocketHandler::getServerPID(brokerIndex) == 0) {
    return;  // no broker yet; the next look tries again
  }
  std::shared_ptr<SocketHandler> handler;
  try {
    handler = std::make_shared<SocketHandler>(functions, brokerIndex);
    auto connection = std::make_unique<SocketConnection>(handler);
    if (!connection->RequestVokEnvironmentConfig(brokerIndex)) {
      functions->_close(handler->getSocketFd());
      failed();
      return;
    }
    connection->SignIn(description);
    socketFd = connection->descriptor();
    current = std::move(connection);
    failures = 0;
    log(LOG_INFO, kComponent, description.getAppData().getApplicationName() + ": signed in again");
  } catch (const std::exception&) {
    if (handler) {
      functions->_close(handler->getSocketFd());
    }
    failed();
  }
}

void BrokerRejoin::failed() {
  looksToSkip = std::min(1u << std::min(failures, 5u), kMostLooksToSkip);
  ++failures;
}

}  // namespace VOK
