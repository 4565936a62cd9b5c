// The string transport of the socket handler: raw bytes, no framing, on any
// descriptor the caller passes.
#include "socketHandler.h"

#include "VOKException.h"
#include "log_datalayer.h"
#include "pollPause.h"
#include "socketHandlerText.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace {
constexpr unsigned kReceiveSize = 1024;
// Bounds the wait for the rest of a message that the kernel took only in part.
constexpr int kRemainderAttempts = 100;
}  // namespace

int SocketHandler::sendString(std::string text, int fd) {
  const std::string component = componentOnFd(kSocketHandlerComponent + "::sendString()", fd);
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
    return SocketStatus::kDone;
  }
  int sent = socketFunctions->_send(fd, buffer.data(), length, MSG_DONTWAIT | MSG_NOSIGNAL);
  if (sent > 0) {
    if (static_cast<unsigned>(sent) < length) {
      return sendRemainder(buffer.data() + sent, length - sent, fd, component);
    }
    log(LOG_DEBUG, component, "String sent---->");
    return SocketStatus::kDone;
  }
  if (errno == EAGAIN) {
    log(LOG_INFO, component, "socket SEND in nonblocking I/O mode");
    VOK::pollPause();
    return SocketStatus::kWouldBlock;
  }
  if (errno == EMSGSIZE) {
    log(LOG_ERROR, component, "the message is not transmitted: " + trace);
    throw VOK::VOKException(trace);
  }
  const std::string reason = "Sending package " + text + " - Errno: " + std::strerror(errno);
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
                               " bytes not sent - Errno: " + std::strerror(errno);
    log(LOG_ERROR, component, reason);
    throw VOK::VOKException(reason);
  }
  log(LOG_DEBUG, component, "String sent---->");
  return SocketStatus::kDone;
}

int SocketHandler::recvString(int fd, std::string& out) {
  const std::string component = componentOnFd(kSocketHandlerComponent + "::recvString()", fd);
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
    return SocketStatus::kDone;
  }
  const int cause = errno;
  log(LOG_DEBUG, component, std::strerror(cause));
  if (cause == EAGAIN) {
    log(LOG_DEBUG, component, "recv polling EAGAIN..");
  }
  VOK::pollPause();
  return cause;
}
