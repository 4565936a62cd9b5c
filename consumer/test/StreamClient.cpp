#include "StreamClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

StreamClient::StreamClient(int port, int receiveBuffer) : fd(::socket(AF_INET, SOCK_STREAM, 0)) {
  if (fd < 0) {
    throw std::runtime_error("StreamClient: socket failed");
  }
  if (receiveBuffer > 0) {
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof(receiveBuffer));
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    throw std::runtime_error("StreamClient: connect failed");
  }
}

StreamClient::~StreamClient() { close(); }

std::string StreamClient::read(size_t count, int timeoutMs) {
  std::string received;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  char buffer[65536];
  while (fd >= 0 && received.size() < count) {
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, msLeft(deadline)) <= 0) {
      break;
    }
    size_t want = count - received.size();
    ssize_t got = ::recv(fd, buffer, want < sizeof(buffer) ? want : sizeof(buffer), 0);
    if (got <= 0) {
      break;
    }
    received.append(buffer, static_cast<size_t>(got));
  }
  return received;
}

std::string StreamClient::readToEnd(int timeoutMs) {
  std::string received;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  char buffer[65536];
  while (fd >= 0) {
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, msLeft(deadline)) <= 0) {
      break;
    }
    ssize_t got = ::recv(fd, buffer, sizeof(buffer), 0);
    if (got <= 0) {
      break;
    }
    received.append(buffer, static_cast<size_t>(got));
  }
  return received;
}

bool StreamClient::closedByServer(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  char buffer[65536];
  while (fd >= 0) {
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, msLeft(deadline)) <= 0) {
      return false;
    }
    if (::recv(fd, buffer, sizeof(buffer), 0) <= 0) {
      return true;
    }
  }
  return false;
}

bool StreamClient::anythingWithin(int timeoutMs) {
  pollfd entry{fd, POLLIN, 0};
  char byte;
  return ::poll(&entry, 1, timeoutMs) > 0 && ::recv(fd, &byte, 1, 0) == 1;
}

bool StreamClient::send(const std::string& text) {
  return ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
}

void StreamClient::close() {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

int boundPort(int listenFd) {
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  ::getsockname(listenFd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}
