#pragma once

#include <cstdint>

// Keeps the published frame rate at or below a maximum. Frames are due on a
// fixed schedule of one per interval; a frame that comes up to a quarter of
// an interval early still counts as on time, so a source at exactly the
// maximum rate is not thinned out by its jitter. Published frames are never
// closer together than three quarters of an interval, which is the cycle
// time the ring is sized for. Times in microseconds of the monotonic clock.
class FramePacer {
 public:
  // At most maxFps frames per second; maxFps must be at least 1.
  explicit FramePacer(unsigned maxFps);

  // Whether a frame arriving at nowUs is published; if so, it is counted as published.
  bool admit(uint64_t nowUs);
  // Microseconds from nowUs until the next frame would be admitted (0: at once).
  uint64_t waitBeforeNext(uint64_t nowUs) const;
  // The shortest time between two published frames.
  uint64_t shortestCycleUs() const { return intervalUs - slackUs; }

 private:
  uint64_t intervalUs;
  uint64_t slackUs;
  bool started = false;
  uint64_t dueUs = 0;
};
