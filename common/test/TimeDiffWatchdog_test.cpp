#include "ClockUtils.h"
#include "MockClock.h"
#include "TimeDiffWatchdog.h"
#include "VOKException.h"
#include "thrownText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace VOK {
namespace {

using ::testing::_;

// A watchdog whose clock reports the given readings, in order.
TimeDiffWatchdog watchdogReading(unsigned long long maximumMs,
                                 std::initializer_list<uint64_t> readingsUs) {
  auto* clock = new ::testing::NiceMock<MockClock>();
  auto& calls = EXPECT_CALL(*clock, _clock_gettime(CLOCK_MONOTONIC, _)).Times(static_cast<int>(readingsUs.size()));
  for (uint64_t reading : readingsUs) {
    calls.WillOnce(ReportMicroseconds(reading));
  }
  return TimeDiffWatchdog(maximumMs, new ClockUtils(clock));
}

TEST(ClockUtils, TruncatesToWholeMicrosecondsAndFailsWithTheSystemText) {
  auto* clock = new MockClock();
  EXPECT_CALL(*clock, _clock_gettime(CLOCK_MONOTONIC, _)).WillOnce([](int, timespec& now) {
        now = timespec{5, 999999999};
        return 0;
      }).WillOnce([](int, timespec&) {
        errno = EINVAL;
        return -1;
      });
  ClockUtils utils(clock);
  EXPECT_EQ(utils.getCurrentTimeInUs(), 5999999U);
  EXPECT_EQ(thrownText<VOKException>([&] { utils.getCurrentTimeInUs(); }),
            std::string("Reading system-time") + std::strerror(EINVAL));
}

TEST(ClockUtils, NullArgumentsAreRefused) {
  EXPECT_EQ(thrownText<VOKException>([] { ClockUtils utils(nullptr); }),
            "ClockWrapperLinux must not be a nullptr");
  EXPECT_EQ(thrownText<VOKException>([] { TimeDiffWatchdog watchdog(1, nullptr); }),
            "ClockUtils object in TimeDiffWatchdog must not be nullptr");
}

// Equal to the maximum is no time-out, one microsecond more is; a maximum
// of 5 000 000 ms is 5e9 us, beyond 32 bits, and must not be truncated.
TEST(TimeDiffWatchdog, TimesOutOnlyBeyondTheMaximum) {
  const struct {
    unsigned long long maximumMs;
    uint64_t startUs, stopUs;
    bool timedOut;
  } rows[] = {{1, 7000000, 7001000, false},       {1, 7000000, 7001001, true},
              {0, 42, 42, false},                 {0, 42, 43, true},
              {5000000, 0, 5000000000ULL, false}, {5000000, 0, 5000000001ULL, true}};
  for (const auto& row : rows) {
    TimeDiffWatchdog watchdog = watchdogReading(row.maximumMs, {row.startUs, row.stopUs});
    watchdog.Start();
    watchdog.Stop();
    EXPECT_EQ(watchdog.TimeOut(), row.timedOut) << row.maximumMs << " ms, " << row.stopUs - row.startUs << " us";
  }
}

TEST(TimeDiffWatchdog, FreshWatchdogReportsNoTimeOutAndStopBeforeStartThrows) {
  TimeDiffWatchdog fresh = watchdogReading(1, {});
  EXPECT_FALSE(fresh.TimeOut());
  TimeDiffWatchdog watchdog = watchdogReading(1, {100, 200});
  watchdog.Stop();
  watchdog.Start();
  EXPECT_EQ(thrownText<VOKException>([&] { watchdog.TimeOut(); }),
            "Stop-Time-Stamp in Watchdog less than Start-Time-Stamp");
}

TEST(TimeDiffWatchdog, JudgesOnlyTheMostRecentMeasurement) {
  TimeDiffWatchdog watchdog = watchdogReading(1, {0, 5000, 6000, 6500});
  watchdog.Start();
  watchdog.Stop();
  EXPECT_TRUE(watchdog.TimeOut());
  watchdog.Start();
  watchdog.Stop();
  EXPECT_FALSE(watchdog.TimeOut());
}

}  // namespace
}  // namespace VOK
