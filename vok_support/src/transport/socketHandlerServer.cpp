// The broker's end of the socket handler: set-up, takeover of a stale socket
// file, listening and accepting.
#include "socketHandler.h"

#include "VOKException.h"
#include "foreignOwner.h"
#include "log_datalayer.h"
#include "pollPause.h"
#include "socketHandlerText.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
constexpr int kSocketBufferSize = 2048;
constexpr int kBacklog = 10;
}  // namespace

void SocketHandler::failSetup(const std::string& component, const std::string& label) {
  const std::string reason = std::strerror(errno);
  log(LOG_ERROR, component, label + reason);
  throw VOK::VOKException(reason);
}

void SocketHandler::setSocketOption(int name, int value, const std::string& component,
                                    const std::string& label) {
  if (socketFunctions->_setsockopt(socketFd, SOL_SOCKET, name, &value, sizeof(value)) < 0) {
    // Newer kernels refuse SO_REUSEPORT on local sockets, where it never had an effect.
    if (name == SO_REUSEPORT && errno == EOPNOTSUPP) {
      return;
    }
    failSetup(component, label);
  }
}

int SocketHandler::uxsetupServerSocket() {
  // The listening end binds its own pid's path: pidof may also report other
  // brokers, or a just-forked child that still bears this program's name.
  setUDS(static_cast<int>(::getpid()));
  serverAddress.sun_family = AF_UNIX;
  std::memcpy(serverAddress.sun_path, socketPath, sizeof(socketPath));
  isServer = true;
  setSocketOption(SO_REUSEPORT, 1, kSocketHandlerComponent + ":uxsetupServerSocket()", "setsockopt error: ");
  setSocketOption(SO_SNDBUF, kSocketBufferSize, kSocketHandlerComponent, "setsockopt SO_SNDBUF error: ");
  setSocketOption(SO_RCVBUF, kSocketBufferSize, kSocketHandlerComponent, "setsockopt SO_RCVBUF error: ");
  int flags = socketFunctions->_fcntl(socketFd, F_GETFL, 0);
  if (flags < 0 || socketFunctions->_fcntl(socketFd, F_SETFL, flags | O_NONBLOCK) < 0) {
    failSetup(kSocketHandlerComponent, "fcntl O_NONBLOCK error: ");
  }
  if (!bindSocketFile()) {
    const std::string foreign = foreignOwnerRefusal("The socket file", socketPath);
    if (!foreign.empty()) {
      log(LOG_ERROR, kSocketHandlerComponent, "bind-socket error: " + foreign);
      throw VOK::VOKException(foreign);
    }
    failSetup(kSocketHandlerComponent, "bind-socket error: ");
  }
  ownsSocketFile = true;
  return SocketStatus::kDone;
}

bool SocketHandler::bindSocketFile() {
  const auto* address = reinterpret_cast<const sockaddr*>(&serverAddress);
  if (socketFunctions->_bind(socketFd, address, sizeof(serverAddress)) == 0) {
    return true;
  }
  if (errno != EADDRINUSE || !socketFileIsStale()) {
    return false;
  }
  // Our own pid's path without a listener: left by a killed broker whose pid
  // has come round again.
  log(LOG_INFO, kSocketHandlerComponent, std::string("Removed stale socket file ") + socketPath);
  socketFunctions->_unlink(socketPath);
  return socketFunctions->_bind(socketFd, address, sizeof(serverAddress)) == 0;
}

bool SocketHandler::socketFileIsStale() {
  const int probe = socketFunctions->_socket(AF_UNIX, SOCK_STREAM, 0);
  bool stale = false;
  if (probe >= 0) {
    // Non-blocking, so that a live listener with a full backlog cannot hold us.
    const int flags = socketFunctions->_fcntl(probe, F_GETFL, 0);
    if (flags >= 0 && socketFunctions->_fcntl(probe, F_SETFL, flags | O_NONBLOCK) == 0) {
      const auto* address = reinterpret_cast<const sockaddr*>(&serverAddress);
      stale = socketFunctions->_connect(probe, address, sizeof(serverAddress)) != 0 && errno == ECONNREFUSED;
    }
    socketFunctions->_close(probe);
  }
  errno = EADDRINUSE;  // the cause reported when the file stays
  return stale;
}

int SocketHandler::serverListen() {
  const std::string component = kSocketHandlerComponent + ":serverListen()";
  if (!isServer) {
    const std::string reason = "serverListen was called from Client";
    log(LOG_ERROR, component, "Connect to socket - error: " + reason);
    throw VOK::VOKException(reason);
  }
  int result = socketFunctions->_listen(socketFd, kBacklog);
  if (result != 0) {
    const std::string reason = std::strerror(errno);
    log(LOG_ERROR, component, reason);
    throw VOK::VOKException(reason);
  }
  log(LOG_DEBUG, component, "Listening to server-socket with result: " + std::to_string(result));
  return SocketStatus::kDone;
}

int SocketHandler::uxserverAccept() {
  unsigned length = sizeof(clientAddress);
  int fd = socketFunctions->_accept(socketFd, &clientAddress, &length);
  if (fd < 0) {
    log(LOG_DEBUG, kSocketHandlerComponent + "::uxserverAccept()", std::string("Accept socket:") + std::strerror(errno));
    VOK::pollPause();
    return SocketStatus::kNothingAccepted;
  }
  return fd;
}
