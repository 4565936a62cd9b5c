// An app's end of the socket handler: connecting to the broker, and leaving
// one it does not trust for the next.
#include "socketHandler.h"

#include "VOKException.h"
#include "brokerTrust.h"
#include "log_datalayer.h"
#include "pollPause.h"
#include "socketHandlerText.h"

#include <cerrno>
#include <cstring>

int SocketHandler::uxclientConnectToServer(unsigned index) {
  const std::string component = componentOnFd(kSocketHandlerComponent + "::uxclientConnectToServer()", socketFd);
  if (isServer) {
    const std::string reason = "clientConnectToServer was called from Server";
    log(LOG_ERROR, component, "Connect to socket - error: " + reason);
    throw VOK::VOKException(reason);
  }
  serverAddress.sun_family = AF_UNIX;
  if (index != 0) {
    setUDS(getServerPID(index, refusedBrokers));
  }
  std::memcpy(serverAddress.sun_path, socketPath, sizeof(socketPath));
  if (socketFunctions->_connect(socketFd, reinterpret_cast<const sockaddr*>(&serverAddress),
                                sizeof(serverAddress)) == 0) {
    if (brokerIsTrusted(*socketFunctions, socketFd, socketPath, component)) {
      return socketFd;
    }
    turnAwayFromBroker(index);
    VOK::pollPause();
    errno = EACCES;
    return -EACCES;
  }
  const int cause = errno;
  log(LOG_ERROR, component,
      std::string("Connect to socket") + socketPath + " - error: " + std::strerror(cause));
  VOK::pollPause();
  return -cause;
}

void SocketHandler::turnAwayFromBroker(unsigned index) {
  refusedBrokers.insert(serverPid);
  socketFunctions->_close(socketFd);
  openSocket();
  setUDS(getServerPID(index, refusedBrokers));
}
