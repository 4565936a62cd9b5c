#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "foreignOwner.h"
#include "pollPause.h"
#include "realTime.h"
#include "stopSignalWatcher.h"

namespace {

using testing::_;
using testing::Field;
using testing::Pointee;
using testing::Return;

TEST(SleepResumingTest, GoesOnWithTheTimeLeftAfterEachSignalAndStopsOnOtherFailures) {
  const struct {
    std::vector<int> errnos;  // per call: 0 for a full sleep
    size_t calls;
  } cases[] = {{{0}, 1}, {{EINTR, EINTR, 0}, 3}, {{EINTR, EINVAL}, 2}};
  for (const auto& c : cases) {
    std::vector<long> requested;
    size_t call = 0;
    VOK::sleepResuming({1, 500}, [&](const timespec* request, timespec* remaining) {
      requested.push_back(request->tv_sec * 1000000000L + request->tv_nsec);
      const int failure = c.errnos[call++];
      *remaining = {0, 100L * static_cast<long>(call)};
      errno = failure;
      return failure == 0 ? 0 : -1;
    });
    ASSERT_EQ(c.calls, requested.size());
    EXPECT_EQ(1000000500L, requested[0]);
    for (size_t i = 1; i < requested.size(); ++i) {
      EXPECT_EQ(100L * static_cast<long>(i), requested[i]);
    }
  }
}

class MockRealTimeFunctions : public VOK::IRealTimeFunctions {
 public:
  MOCK_METHOD(int, _sched_setscheduler, (int, const sched_param*), (override));
  MOCK_METHOD(int, _mlockall, (int), (override));
  MOCK_METHOD(int, _munlockall, (), (override));
};

TEST(RealTimeTest, AsksForFifoAtThePriorityAndLocksMemoryEvenWhenRefused) {
  MockRealTimeFunctions functions;
  EXPECT_CALL(functions, _sched_setscheduler(SCHED_FIFO, Pointee(Field(&sched_param::sched_priority, 30))))
      .WillOnce(Return(-1));
#if !defined(__SANITIZE_ADDRESS__)
  EXPECT_CALL(functions, _mlockall(MCL_CURRENT | MCL_FUTURE)).WillOnce(Return(-1));
#endif
  VOK::becomeRealTime(functions);
}

// One process, one watcher: the whole life of a watched stop in one test.
// SIGHUP stops like the signals named; SIGPIPE no longer kills.
TEST(StopSignalWatcherTest, AHangUpFromAnyThreadLogsRequestsTheStopAndWakesWaiters) {
  using namespace std::chrono_literals;
  VOK::StopSource& stop = VOK::processStop();
  EXPECT_FALSE(stop.waitForStop(0ns));
  ::signal(SIGHUP, SIG_DFL);
  ::signal(SIGPIPE, SIG_DFL);
  VOK::watchStopSignals("test/component", {SIGUSR1, SIGUSR2});
  ::raise(SIGPIPE);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(stop.waitForStop(20ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
  EXPECT_FALSE(stop.stopRequested());

  testing::internal::CaptureStdout();
  std::thread raiser([] {
    std::this_thread::sleep_for(50ms);
    ::kill(::getpid(), SIGHUP);
  });
  stop.waitForStop();
  raiser.join();
  EXPECT_EQ("Log: (test/component): Caught Stop-signal\n", testing::internal::GetCapturedStdout());
  EXPECT_TRUE(stop.flag());
  EXPECT_TRUE(stop.waitUntil(std::chrono::steady_clock::now() - 1s));
}

TEST(ForeignOwnerTest, OnlyAFileOfAnotherAccountIsReportedWithItsPathAndOwner) {
  char path[] = "/tmp/vok_foreign_owner_test.XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_EQ(foreignOwnerRefusal("The socket file", path), "") << "this process's own";
  EXPECT_EQ(foreignOwnerRefusal("The socket file", "/nonexistent/sock_1.uds"), "");
  if (::geteuid() == 0 && ::chown(path, 65534, 65534) == 0) {
    EXPECT_EQ(foreignOwnerRefusal("The socket file", path),
              std::string("The socket file ") + path +
                  " belongs to uid 65534 (nobody), not to this program's user 0; remove it as that user or root");
  }
  ::unlink(path);
}

}  // namespace
