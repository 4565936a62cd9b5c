#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FramePacer.h"

namespace {

struct Case {
  std::string name;
  unsigned maxFps;
  std::vector<uint64_t> arrivalsMs;
  std::string admitted;  // one letter per arrival: y published, n dropped
};

TEST(FramePacer, AdmitsFramesOnItsSchedule) {
  const std::vector<Case> cases = {
      {"SourceAtTheRateWithJitter", 15, {0, 62, 138, 199, 262, 338}, "yyyyyy"},
      {"SourceAtTwiceTheRate", 15, {0, 33, 67, 100, 133, 167, 200}, "ynynyny"},
      {"NoBurstAfterAGap", 10, {0, 1000, 1010, 1020, 1100}, "yynny"},
      {"EarlyByMoreThanAQuarter", 10, {0, 70, 80}, "yny"},
  };
  for (const Case& c : cases) {
    FramePacer pacer(c.maxFps);
    std::string got;
    for (uint64_t ms : c.arrivalsMs) {
      got += pacer.admit(ms * 1000) ? 'y' : 'n';
    }
    EXPECT_EQ(got, c.admitted) << c.name;
  }
}

TEST(FramePacer, NeverPublishesCloserThanItsShortestCycle) {
  FramePacer pacer(30);
  uint64_t last = 0;
  unsigned published = 0;
  for (uint64_t us = 0; us < 10000000; us += 1000) {
    if (pacer.admit(us)) {
      EXPECT_TRUE(published == 0 || us - last >= pacer.shortestCycleUs()) << us;
      last = us;
      ++published;
    }
  }
  EXPECT_NEAR(published, 300, 1);
}

}  // namespace
