#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <string>

// The liveness of a provider: the rings it writes still move. Each look
// reads the newest-segment index of every ring the process has mapped
// writable; a ring whose index has not changed for the bound stands still.
class RingWatch {
 public:
  using Clock = std::chrono::steady_clock;

  // Looks at the rings pid writes now. True, with the ring's name in which,
  // when one has stood still for bound or longer.
  bool standsStill(pid_t pid, Clock::time_point now, Clock::duration bound, std::string& which);
  // Forgets what was seen (the member starts anew).
  void forget();

 private:
  struct Seen {
    uint32_t index;
    Clock::time_point since;
  };
  std::map<std::string, Seen> seen;
};
