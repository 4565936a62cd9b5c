#include "brokerTrust.h"

#include "log_datalayer.h"
#include "peerCredentials.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

// Any account can start a process under the broker's name and listen on the
// socket file of its pid; what an app sends there and believes from there
// steers the machine.
bool brokerIsTrusted(ISocketHandlerFunctions& functions, int fd, const std::string& socketPath,
                     const std::string& component) {
  PeerCredentials peer;
  if (!readPeerCredentials(functions, fd, peer)) {
    log(LOG_ERROR, component, "Not using the broker at " + socketPath +
                                  ": cannot tell who listens there - error: " + std::strerror(errno));
    return false;
  }
  if (peer.uid == ::geteuid() || peer.uid == 0) {
    return true;
  }
  log(LOG_ERROR, component, "Not using the broker at " + socketPath + ": it runs as uid " +
                                std::to_string(peer.uid) + ", neither this app's user nor root");
  return false;
}
