#pragma once

#include "ISocketHandlerFunctions.h"
#include "configurationData.h"
#include "socketConnection.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace VOK {

// Keeps a signed-in app known to whichever broker runs: when the broker's end
// of the app's socket closes (the broker ended), signs the same description
// in again to the next broker, on a thread of its own, so that the app's data
// flow never waits for it. A provider keeps its ring; nothing is recreated.
class BrokerRejoin {
 public:
  // description: what the app signed in with; socketFd: its socket to the
  // broker (0: none); brokerIndex: which broker to look for, as at sign-in.
  // Starts watching at once. Throws std::invalid_argument for null functions.
  BrokerRejoin(ConfigurationData description, int socketFd, unsigned brokerIndex,
               std::shared_ptr<ISocketHandlerFunctions> functions);
  BrokerRejoin(const BrokerRejoin&) = delete;
  BrokerRejoin& operator=(const BrokerRejoin&) = delete;
  // Stops watching; a sign-in in progress is finished first (at most its wait).
  ~BrokerRejoin();

 private:
  void watch();
  bool brokerLeft();
  void signInAgain();
  void failed();

  ConfigurationData description;
  int socketFd;
  unsigned brokerIndex;
  std::shared_ptr<ISocketHandlerFunctions> functions;
  // The connection of the latest sign-in again; it owns the reply.
  std::unique_ptr<SocketConnection> current;
  // Looks to let pass after failed attempts (a broker that does not answer or
  // is not trusted), growing with each failure in a row, so that such a
  // broker is not asked five times a second.
  unsigned failures = 0;
  unsigned looksToSkip = 0;
  std::mutex lock;
  std::condition_variable wake;
  bool stopping = false;
  std::thread worker;
};

}  // namespace VOK
