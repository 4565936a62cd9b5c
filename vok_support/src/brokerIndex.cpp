#include "brokerIndex.h"

#include "socketHandler.h"

namespace {
const unsigned maxBrokers = 64;
}

unsigned brokerIndexOf(int pid) {
  for (unsigned index = 0; index < maxBrokers; ++index) {
    const int listed = SocketHandler::getServerPID(index);
    if (listed == pid) {
      return index;
    }
    // An index past the list yields the first entry again.
    if (listed == 0 || (index > 0 && listed == SocketHandler::getServerPID(0))) {
      break;
    }
  }
  return 0;
}
