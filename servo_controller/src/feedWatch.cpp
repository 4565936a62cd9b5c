#include "feedWatch.h"

FeedWatch::FeedWatch(std::chrono::milliseconds limit, Clock::time_point start)
    : limit(limit), lastMove(start) {}

FeedWatch::Change FeedWatch::observe(uint32_t newestSegment, Clock::time_point now) {
  // The first look only learns where the index stands.
  const bool moved = lastIndex && *lastIndex != newestSegment;
  lastIndex = newestSegment;
  if (moved) {
    lastMove = now;
  }
  const bool nowLost = now >= deadline();
  const Change change = nowLost == isLost ? Change::None : nowLost ? Change::Lost : Change::Back;
  isLost = nowLost;
  return change;
}
