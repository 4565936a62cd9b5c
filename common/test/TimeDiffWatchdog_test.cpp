#include "ClockUtils.h"
#include "MockClock.h"
#include "TimeDiffWatchdog.h"
#include "VOKException.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace VOK {
namespace {

using ::testing::_;
using ::testing::NiceMock;

// A watchdog whose clock reports the given readings, in order.
TimeDiffWatchdog watchdogReading(unsigned long long maximumMs,
                                 std::initializer_list<uint64_t> readingsUs) {
  auto* clock = new NiceMock<MockClock>();
  auto& calls = EXPECT_CALL(*clock, _clock_gettime(CLOCK_MONOTONIC, _))
                     .Times(static_cast<int>(readingsUs.size()));
  for (uint64_t reading : readingsUs) {
    calls.WillOnce(ReportMicroseconds(reading));
  }
  return TimeDiffWatchdog(maximumMs, new ClockUtils(clock));
}

bool timedOut(unsigned long long maximumMs, uint64_t startUs, uint64_t stopUs) {
  TimeDiffWatchdog watchdog = watchdogReading(maximumMs, {startUs, stopUs});
  watchdog.Start();
  watchdog.Stop();
  return watchdog.TimeOut();
}

TEST(ClockUtils, TruncatesNanosecondsToWholeMicroseconds) {
  auto* clock = new MockClock();
  EXPECT_CALL(*clock, _clock_gettime(CLOCK_MONOTONIC, _))
      .WillOnce([](int, timespec& now) {
        now.tv_sec = 5;
        now.tv_nsec = 999999999;
        return 0;
      });
  ClockUtils utils(clock);
  EXPECT_EQ(utils.getCurrentTimeInUs(), 5999999U);
}

TEST(ClockUtils, FailingClockThrowsWithTheSystemText) {
  auto* clock = new MockClock();
  EXPECT_CALL(*clock, _clock_gettime(_, _)).WillOnce([](int, timespec&) {
    errno = EINVAL;
    return -1;
  });
  ClockUtils utils(clock);
  try {
    utils.getCurrentTimeInUs();
    FAIL() << "no exception";
  } catch (const VOKException& e) {
    EXPECT_EQ(std::string(e.what()), std::string("Reading system-time") + std::strerror(EINVAL));
  }
}

TEST(ClockUtils, NullArgumentsAreRefused) {
  EXPECT_THROW(
      {
        try {
          ClockUtils utils(nullptr);
        } catch (const VOKException& e) {
          EXPECT_STREQ(e.what(), "ClockWrapperLinux must not be a nullptr");
          throw;
        }
      },
      VOKException);
  EXPECT_THROW(
      {
        try {
          TimeDiffWatchdog watchdog(1, nullptr);
        } catch (const VOKException& e) {
          EXPECT_STREQ(e.what(), "ClockUtils object in TimeDiffWatchdog must not be nullptr");
          throw;
        }
      },
      VOKException);
}

TEST(TimeDiffWatchdog, IntervalEqualToTheMaximumIsNoTimeOutOneMicrosecondMoreIs) {
  EXPECT_FALSE(timedOut(1, 7000000, 7001000));
  EXPECT_TRUE(timedOut(1, 7000000, 7001001));
}

TEST(TimeDiffWatchdog, MaximumOfZeroAcceptsOnlyAnEmptyInterval) {
  EXPECT_FALSE(timedOut(0, 42, 42));
  EXPECT_TRUE(timedOut(0, 42, 43));
}

TEST(TimeDiffWatchdog, LargeMaximumIsKeptInMicrosecondsWithoutTruncation) {
  // 5 000 000 ms is 5e9 us, beyond 32 bits.
  EXPECT_FALSE(timedOut(5000000, 0, 5000000000ULL));
  EXPECT_TRUE(timedOut(5000000, 0, 5000000001ULL));
}

TEST(TimeDiffWatchdog, FreshWatchdogReportsNoTimeOut) {
  TimeDiffWatchdog watchdog = watchdogReading(1, {});
  EXPECT_FALSE(watchdog.TimeOut());
}

TEST(TimeDiffWatchdog, StopBeforeStartThrows) {
  TimeDiffWatchdog watchdog = watchdogReading(1, {100, 200});
  watchdog.Stop();
  watchdog.Start();
  try {
    watchdog.TimeOut();
    FAIL() << "no exception";
  } catch (const VOKException& e) {
    EXPECT_STREQ(e.what(), "Stop-Time-Stamp in Watchdog less than Start-Time-Stamp");
  }
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

TEST(TimeDiffWatchdog, RealClockMeasuresAShortIntervalWithinOneSecond) {
  TimeDiffWatchdog watchdog(1000, new ClockUtils(new ClockWrapperLinux()));
  watchdog.Start();
  watchdog.Stop();
  EXPECT_FALSE(watchdog.TimeOut());
}

}  // namespace
}  // namespace VOK
