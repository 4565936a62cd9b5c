#include "socketHandler.h"

#include "VOKException.h"
#include "brokerLookup.h"
#include "log_datalayer.h"
#include "socketHandlerText.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

SocketHandler::SocketHandler(std::shared_ptr<ISocketHandlerFunctions> functions, unsigned index)
    : socketFunctions(std::move(functions)) {
  if (!socketFunctions) {
    throw std::invalid_argument("Error: SocketHandler: SocketWrapperLinux must not be null");
  }
  openSocket();
  setUDS(getServerPID(index));
}

void SocketHandler::openSocket() {
  socketFd = socketFunctions->_socket(AF_UNIX, SOCK_STREAM, 0);
  if (socketFd <= 0) {
    const std::string reason = std::strerror(errno);
    log(LOG_ERROR, kSocketHandlerComponent, "Error generating socket: " + reason);
    throw VOK::VOKException(reason);
  }
}

SocketHandler::~SocketHandler() {
  if (isServer) {
    socketFunctions->_close(socketFd);
    if (ownsSocketFile) {
      socketFunctions->_unlink(socketPath);
    }
    log(LOG_DEBUG, kSocketHandlerComponent, "Closed socket");
  } else {
    log(LOG_DEBUG, kSocketHandlerComponent, "Deleting SocketHandler without closing socket");
  }
}

int SocketHandler::getServerPID(unsigned index, const std::set<int>& refused) {
  return index >= kMaxBrokers ? 0 : pickBroker(reachableBrokers(refused), index);
}

void SocketHandler::setUDS(int pid) {
  serverPid = pid;
  std::snprintf(socketPath, sizeof(socketPath), "%s", brokerSocketPath(pid).c_str());
}

std::string SocketHandler::getSocketPath() const {
  return socketPath;
}

int SocketHandler::getSocketFd() const {
  return socketFd;
}

int SocketHandler::serverWaitForConnection() {
  throw VOK::VOKException(kSocketHandlerComponent +
                          ":serverWaitForConnection() wrong SOCKET_FAMILY, need to be AF_INET");
}

int SocketHandler::clientConnectToServer(std::string, unsigned short) {
  throw VOK::VOKException("wrong SOCKET_FAMILY, AF_INET is required");
}

int SocketHandler::setupServerSocket(unsigned short) {
  throw VOK::VOKException(kSocketHandlerComponent +
                          ":setupServerSocket() wrong SOCKET_FAMILY, AF_INET is not supported");
}
