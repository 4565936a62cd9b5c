#include "feedWatch.h"

namespace servo_controller {

FeedWatch::FeedWatch(std::chrono::milliseconds limit, Clock::time_point start)
    : limit(limit), lastMove(start) {}

FeedWatch::Change FeedWatch::observe(std::optional<uint32_t> newestSegment, Clock::time_point now) {
  // The first look only learns where the index stands; an empty ring and
  // its first record both count as movement.
  const bool moved = looked && newestSegment != lastIndex;
  if (!newestSegment || moved) {
    lastMove = now;
  }
  lastIndex = newestSegment;
  looked = true;
  const bool nowLost = now >= deadline();
  const Change change = nowLost == isLost ? Change::None : nowLost ? Change::Lost : Change::Back;
  isLost = nowLost;
  return change;
}

}  // namespace servo_controller
