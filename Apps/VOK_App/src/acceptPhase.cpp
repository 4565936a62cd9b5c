#include "acceptPhase.h"

#include "AppAdmission.h"
#include "socketHandler.h"
#include "stopSignalWatcher.h"

namespace broker {

std::list<int> acceptApps(SocketHandler& server, AppAdmission& admission, unsigned long long count,
                          const VOK::StopSource& stop) {
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
  } while (!stop.waitForStop(std::chrono::microseconds(500)) && connected < count);
  return accepted;
}

}  // namespace broker
