#include "acceptPhase.h"

#include "AppAdmission.h"
#include "pollPause.h"
#include "socketHandler.h"

namespace broker {

std::list<int> acceptApps(SocketHandler& server, AppAdmission& admission, unsigned long long count,
                          volatile bool& stop) {
  std::list<int> accepted;
  int pending = -1;
  unsigned long long connected = 0;
  do {
    if (pending < 1) {
      pending = server.uxserverAccept();
    }
    if (pending > server.getSocketFd()) {
      if (admission.admit(pending)) {
        accepted.push_back(pending);
        ++connected;
      }
      pending = -1;
    }
    VOK::sleepNanoseconds(500000L);
  } while (connected < count && !stop);
  return accepted;
}

}  // namespace broker
