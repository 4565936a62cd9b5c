#include "socketHandler.h"

#include "VOKException.h"
#include "foreignOwner.h"
#include "listeningSocket.h"
#include "log_datalayer.h"
#include "peerCredentials.h"
#include "pollPause.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

const std::string kComponent = "vok_support/src/socketHandler";
constexpr unsigned kMaxPids = 64;
constexpr unsigned kReceiveSize = 1024;
constexpr int kSocketBufferSize = 2048;
constexpr int kBacklog = 10;
constexpr int kWouldBlock = 11;
constexpr int kNothingAccepted = -11;
// Bounds the wait for the rest of a message that the kernel took only in part.
constexpr int kRemainderAttempts = 100;

std::string tagged(const std::string& component, int fd) {
  return component + "<" + std::to_string(fd) + ">";
}

std::string errorText() {
  return std::strerror(errno);
}

// The pids of one pidof output line (blank-separated decimals), at most 64.
std::vector<int> listedPids(const std::string& pidofLine) {
  std::vector<int> pids;
  std::vector<char> text(pidofLine.begin(), pidofLine.end());
  text.push_back('\0');
  char* rest = nullptr;
  for (char* piece = strtok_r(text.data(), " ", &rest); piece != nullptr && pids.size() < kMaxPids;
       piece = strtok_r(nullptr, " ", &rest)) {
    pids.push_back(static_cast<int>(std::strtol(piece, nullptr, 10)));
  }
  return pids;
}

// The entry at index, the first one when that is missing or 0; 0 for none.
int pickPid(const std::vector<int>& pids, unsigned index) {
  if (index < pids.size() && pids[index] != 0) {
    return pids[index];
  }
  return pids.empty() ? 0 : pids.front();
}

bool readPidofLine(std::string& line) {
  char buffer[1024] = {};
  FILE* pipe = ::popen("pidof VOK_App", "r");
  const bool gotLine = pipe != nullptr && std::fgets(buffer, sizeof(buffer), pipe) != nullptr;
  if (pipe != nullptr) {
    ::pclose(pipe);
  }
  line = buffer;
  return gotLine;
}

}  // namespace

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
    const std::string reason = errorText();
    log(LOG_ERROR, kComponent, "Error generating socket: " + reason);
    throw VOK::VOKException(reason);
  }
}

SocketHandler::~SocketHandler() {
  if (isServer) {
    socketFunctions->_close(socketFd);
    if (ownsSocketFile) {
      socketFunctions->_unlink(socketPath);
    }
    log(LOG_DEBUG, kComponent, "Closed socket");
  } else {
    log(LOG_DEBUG, kComponent, "Deleting SocketHandler without closing socket");
  }
}

bool SocketHandler::acceptsConnections(int pid) {
  char path[sizeof(socketPath)] = {};
  std::snprintf(path, sizeof(path), "/tmp/sock_%d.uds", pid);
  return isListeningSocketFile(path);
}

int SocketHandler::getServerPID(unsigned index, const std::set<int>& refused) {
  if (index >= kMaxPids) {
    return 0;
  }
  // Code running inside a broker (its test mode) talks to that broker.
  const int own = static_cast<int>(::getpid());
  if (acceptsConnections(own)) {
    return own;
  }
  std::string line;
  if (!readPidofLine(line)) {
    log(LOG_ERROR, "SocketHandler::getServerPID", "Unable to get the server pidof");
    return 0;
  }
  // pidof also lists children that a broker forked and that still bear its
  // name, and brokers that have not bound their socket yet or have died.
  std::vector<int> brokers;
  for (int candidate : listedPids(line)) {
    if (refused.count(candidate) == 0 && acceptsConnections(candidate)) {
      brokers.push_back(candidate);
    }
  }
  return pickPid(brokers, index);
}

int SocketHandler::selectServerPID(const std::string& pidofLine, unsigned index) {
  return index >= kMaxPids ? 0 : pickPid(listedPids(pidofLine), index);
}

void SocketHandler::setUDS(int pid) {
  serverPid = pid;
  std::snprintf(socketPath, sizeof(socketPath), "/tmp/sock_%d.uds", pid);
}

std::string SocketHandler::getSocketPath() const {
  return socketPath;
}

int SocketHandler::getSocketFd() const {
  return socketFd;
}

void SocketHandler::failSetup(const std::string& component, const std::string& label) {
  const std::string reason = errorText();
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
  setSocketOption(SO_REUSEPORT, 1, kComponent + ":uxsetupServerSocket()", "setsockopt error: ");
  setSocketOption(SO_SNDBUF, kSocketBufferSize, kComponent, "setsockopt SO_SNDBUF error: ");
  setSocketOption(SO_RCVBUF, kSocketBufferSize, kComponent, "setsockopt SO_RCVBUF error: ");
  int flags = socketFunctions->_fcntl(socketFd, F_GETFL, 0);
  if (flags < 0 || socketFunctions->_fcntl(socketFd, F_SETFL, flags | O_NONBLOCK) < 0) {
    failSetup(kComponent, "fcntl O_NONBLOCK error: ");
  }
  if (!bindSocketFile()) {
    const std::string foreign = foreignOwnerRefusal("The socket file", socketPath);
    if (!foreign.empty()) {
      log(LOG_ERROR, kComponent, "bind-socket error: " + foreign);
      throw VOK::VOKException(foreign);
    }
    failSetup(kComponent, "bind-socket error: ");
  }
  ownsSocketFile = true;
  return 0;
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
  log(LOG_INFO, kComponent, std::string("Removed stale socket file ") + socketPath);
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
  const std::string component = kComponent + ":serverListen()";
  if (!isServer) {
    const std::string reason = "serverListen was called from Client";
    log(LOG_ERROR, component, "Connect to socket - error: " + reason);
    throw VOK::VOKException(reason);
  }
  int result = socketFunctions->_listen(socketFd, kBacklog);
  if (result != 0) {
    const std::string reason = errorText();
    log(LOG_ERROR, component, reason);
    throw VOK::VOKException(reason);
  }
  log(LOG_DEBUG, component, "Listening to server-socket with result: " + std::to_string(result));
  return result;
}

int SocketHandler::uxserverAccept() {
  unsigned length = sizeof(clientAddress);
  int fd = socketFunctions->_accept(socketFd, &clientAddress, &length);
  if (fd < 0) {
    log(LOG_DEBUG, kComponent + "::uxserverAccept()", "Accept socket:" + errorText());
    VOK::pollPause();
    return kNothingAccepted;
  }
  return fd;
}

int SocketHandler::uxclientConnectToServer(unsigned index) {
  const std::string component = tagged(kComponent + "::uxclientConnectToServer()", socketFd);
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
    if (brokerIsTrusted(component)) {
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

// Any account can start a process under the broker's name and listen on the
// socket file of its pid; what an app sends there and believes from there
// steers the machine.
bool SocketHandler::brokerIsTrusted(const std::string& component) {
  PeerCredentials peer;
  if (!readPeerCredentials(*socketFunctions, socketFd, peer)) {
    log(LOG_ERROR, component, std::string("Not using the broker at ") + socketPath +
                                  ": cannot tell who listens there - error: " + errorText());
    return false;
  }
  if (peer.uid == ::geteuid() || peer.uid == 0) {
    return true;
  }
  log(LOG_ERROR, component, std::string("Not using the broker at ") + socketPath + ": it runs as uid " +
                                std::to_string(peer.uid) + ", neither this app's user nor root");
  return false;
}

void SocketHandler::turnAwayFromBroker(unsigned index) {
  refusedBrokers.insert(serverPid);
  socketFunctions->_close(socketFd);
  openSocket();
  setUDS(getServerPID(index, refusedBrokers));
}

int SocketHandler::sendString(std::string text, int fd) {
  const std::string component = tagged(kComponent + "::sendString()", fd);
  std::vector<char> buffer(text.begin(), text.end());
  if (fd < 1) {
    const std::string reason = "socketFd not set correctly(value is " + std::to_string(fd) + ")";
    log(LOG_ERROR, component, reason);
    throw VOK::VOKException(reason);
  }
  const unsigned length = static_cast<unsigned>(buffer.size());
  const std::string trace = "---->Sending string: <" + text + ">to socketfd: " + std::to_string(fd) +
                            " with length: <" + std::to_string(length) + ">";
  log(LOG_DEBUG, component, trace);
  // A zero-length send reports 0 like a failure; there is nothing to hand over.
  if (length == 0) {
    return 0;
  }
  int sent = socketFunctions->_send(fd, buffer.data(), length, MSG_DONTWAIT | MSG_NOSIGNAL);
  if (sent > 0) {
    if (static_cast<unsigned>(sent) < length) {
      return sendRemainder(buffer.data() + sent, length - sent, fd, component);
    }
    log(LOG_DEBUG, component, "String sent---->");
    return 0;
  }
  if (errno == EAGAIN) {
    log(LOG_INFO, component, "socket SEND in nonblocking I/O mode");
    VOK::pollPause();
    return kWouldBlock;
  }
  if (errno == EMSGSIZE) {
    log(LOG_ERROR, component, "the message is not transmitted: " + trace);
    throw VOK::VOKException(trace);
  }
  const std::string reason = "Sending package " + text + " - Errno: " + errorText();
  log(LOG_ERROR, component, " Error occurred while receiving: " + reason);
  throw VOK::VOKException(reason);
}

// The kernel took only the first part of a message: the rest must follow, or
// the peer would read a truncated text. Waits for room with the usual pauses.
int SocketHandler::sendRemainder(const char* buffer, unsigned length, int fd, const std::string& component) {
  for (int attempt = 0; attempt < kRemainderAttempts && length > 0; ++attempt) {
    int sent = socketFunctions->_send(fd, buffer, length, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent > 0) {
      buffer += sent;
      length -= static_cast<unsigned>(sent);
    } else if (errno == EAGAIN) {
      VOK::pollPause();
    } else {
      break;
    }
  }
  if (length > 0) {
    const std::string reason = "Sending package incomplete, " + std::to_string(length) +
                               " bytes not sent - Errno: " + errorText();
    log(LOG_ERROR, component, reason);
    throw VOK::VOKException(reason);
  }
  log(LOG_DEBUG, component, "String sent---->");
  return 0;
}

int SocketHandler::recvString(int fd, std::string& out) {
  const std::string component = tagged(kComponent + "::recvString()", fd);
  if (fd < 1) {
    const std::string reason = "socketFd not set correctly, value is <" + std::to_string(fd) + ">";
    log(LOG_ERROR, component, reason);
    throw VOK::VOKException(reason);
  }
  char buffer[kReceiveSize] = {};
  int received = socketFunctions->_recv(fd, buffer, kReceiveSize, MSG_DONTWAIT);
  if (received > 0) {
    out.assign(buffer, static_cast<size_t>(received));
    log(LOG_DEBUG, component, "<----String received: " + out);
    return 0;
  }
  const int cause = errno;
  log(LOG_DEBUG, component, std::strerror(cause));
  if (cause == EAGAIN) {
    log(LOG_DEBUG, component, "recv polling EAGAIN..");
  }
  VOK::pollPause();
  return cause;
}

int SocketHandler::serverWaitForConnection() {
  throw VOK::VOKException(kComponent +
                          ":serverWaitForConnection() wrong SOCKET_FAMILY, need to be AF_INET");
}

int SocketHandler::clientConnectToServer(std::string, unsigned short) {
  throw VOK::VOKException("wrong SOCKET_FAMILY, AF_INET is required");
}

int SocketHandler::setupServerSocket(unsigned short) {
  throw VOK::VOKException(kComponent + ":setupServerSocket() wrong SOCKET_FAMILY, AF_INET is not supported");
}
