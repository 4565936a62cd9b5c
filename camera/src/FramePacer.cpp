#include "FramePacer.h"

#include <algorithm>

FramePacer::FramePacer(unsigned maxFps)
    : intervalUs(1000000 / std::max(1u, maxFps)), slackUs(intervalUs / 4) {}

bool FramePacer::admit(uint64_t nowUs) {
  if (waitBeforeNext(nowUs) > 0) {
    return false;
  }
  // A late frame moves the schedule: falling behind earns no burst later.
  dueUs = (started ? std::max(dueUs, nowUs) : nowUs) + intervalUs;
  started = true;
  return true;
}

uint64_t FramePacer::waitBeforeNext(uint64_t nowUs) const {
  if (!started || nowUs + slackUs >= dueUs) {
    return 0;
  }
  return dueUs - slackUs - nowUs;
}
