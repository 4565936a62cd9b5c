#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace servo_controller {

// Tells a live feed from a lost one by the ring's newest-segment index: a
// provider that writes moves it; one that died, froze or stopped leaves it
// standing. The ring carries no time stamps, so the watch times how long
// the index has stood still as seen by the reader. An empty ring is not
// watched: there is no record yet that could be repeated.
class FeedWatch {
 public:
  using Clock = std::chrono::steady_clock;
  enum class Change { None, Lost, Back };

  // The feed counts as lost once the index has not moved for limit; the
  // watch starts at start, with the feed counting as live.
  FeedWatch(std::chrono::milliseconds limit, Clock::time_point start);

  // Notes the index seen at now (nothing: the ring is still empty). Lost or
  // Back once per change of state, None otherwise.
  Change observe(std::optional<uint32_t> newestSegment, Clock::time_point now);
  // Whether the feed counts as lost since the last observe.
  bool lost() const { return isLost; }
  // When the feed counts as lost if the index stands still until then.
  Clock::time_point deadline() const { return lastMove + limit; }

 private:
  std::chrono::milliseconds limit;
  Clock::time_point lastMove;
  std::optional<uint32_t> lastIndex;
  bool looked = false;
  bool isLost = false;
};

}  // namespace servo_controller
