#include "SerialLine.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <climits>
#include <stdexcept>

namespace vok_itest {

SerialLine::SerialLine(std::string linkPath) : linkPath(std::move(linkPath)) {
  char name[PATH_MAX];
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
    throw std::runtime_error("openpty failed");
  }
  slavePath = name;
  // symlink never replaces an existing file.
  ownLink = ::symlink(slavePath.c_str(), this->linkPath.c_str()) == 0;
}

SerialLine::~SerialLine() {
  char target[PATH_MAX];
  ssize_t n = ::readlink(linkPath.c_str(), target, sizeof target - 1);
  if (ownLink && n > 0 && std::string(target, n) == slavePath) {
    ::unlink(linkPath.c_str());
  }
  ::close(slave);
  ::close(master);
}

void SerialLine::write(const std::string& bytes) {
  if (::write(master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    throw std::runtime_error("writing to the pseudo-terminal failed");
  }
}

std::string SerialLine::read(size_t count, std::chrono::milliseconds timeout) {
  std::string got;
  auto end = std::chrono::steady_clock::now() + timeout;
  while (got.size() < count && std::chrono::steady_clock::now() < end) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 20) == 1 && (p.revents & POLLIN)) {
      char buf[256];
      size_t want = count - got.size() < sizeof buf ? count - got.size() : sizeof buf;
      ssize_t n = ::read(master, buf, want);
      if (n > 0) {
        got.append(buf, static_cast<size_t>(n));
      }
    }
  }
  return got;
}

}  // namespace vok_itest
