#include "acceptPhase.h"

#include "pollPause.h"
#include "socketHandler.h"

std::list<int> acceptApps(SocketHandler& server, unsigned long long count, volatile bool& stop) {
  std::list<int> accepted;
  int pending = -1;
  unsigned long long connected = 0;
  do {
    if (pending < 1) {
      pending = server.uxserverAccept();
    }
    if (pending > server.getSocketFd()) {
      accepted.push_back(pending);
      pending = -1;
      ++connected;
    }
    VOK::sleepNanoseconds(500000L);
  } while (connected < count && !stop);
  return accepted;
}
