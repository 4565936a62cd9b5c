#pragma once

#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <string>

// A pseudo-terminal for the serial line: the code under test opens or writes
// the slave side, the test reads what arrives at the master side.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    char name[128];
    if (::openpty(&master, &slave, name, nullptr, nullptr) == 0) {
      path = name;
    }
  }
  ~PseudoTerminal() {
    ::close(slave);
    ::close(master);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Everything that arrives within two seconds, up to count bytes.
  std::string read(size_t count) const {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (got.size() < count && std::chrono::steady_clock::now() < end) {
      pollfd p{master, POLLIN, 0};
      char buf[64];
      ssize_t n = 0;
      if (::poll(&p, 1, 50) == 1 && (n = ::read(master, buf, sizeof buf)) > 0) {
        got.append(buf, static_cast<size_t>(n));
      }
    }
    return got;
  }

  int master = -1;
  int slave = -1;
  std::string path;  // empty when no pseudo-terminal could be had
};
