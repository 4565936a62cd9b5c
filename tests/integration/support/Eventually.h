#pragma once

#include <chrono>
#include <thread>

namespace vok_itest {

// Whether condition holds within timeout; looked at every poll.
template <typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds timeout,
                std::chrono::milliseconds poll = std::chrono::milliseconds(20)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(poll);
  }
  return condition();
}

}  // namespace vok_itest
