#include "lastWordGuardian.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "GuardianWrapperLinux.h"
#include "VOKException.h"

using testing::_;
using testing::Return;

namespace {

const std::string kFrame = "88888888888888D";

class MockGuardianFunctions : public IGuardianFunctions {
 public:
  MOCK_METHOD(int, _pipe2, (int*, int), (override));
  MOCK_METHOD(pid_t, _fork, (), (override));
  MOCK_METHOD(pid_t, _waitpid, (pid_t, int*, int), (override));
  MOCK_METHOD(int, _close, (int), (override));
};

// What arrives at the master side of a pseudo-terminal within two seconds.
std::string readFrame(int master) {
  std::string got;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (got.size() < kFrame.size() && std::chrono::steady_clock::now() < end) {
    pollfd p{master, POLLIN, 0};
    char buf[32];
    ssize_t n = 0;
    if (::poll(&p, 1, 50) == 1 && (n = ::read(master, buf, sizeof buf)) > 0) {
      got.append(buf, static_cast<size_t>(n));
    }
  }
  return got;
}

// Whichever way its owner ends, the guardian writes the frame once.
TEST(LastWordGuardianTest, TheFrameGoesOnTheLineWhenItsOwnerStopsOrIsKilled) {
  for (const bool killed : {false, true}) {
    SCOPED_TRACE(killed ? "killed" : "orderly");
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    if (killed) {
      const pid_t owner = ::fork();
      if (owner == 0) {
        LastWordGuardian guardian(std::make_shared<GuardianWrapperLinux>(), slave, kFrame);
        ::raise(SIGKILL);
      }
      ASSERT_GT(owner, 0);
      ::waitpid(owner, nullptr, 0);
    } else {
      LastWordGuardian guardian(std::make_shared<GuardianWrapperLinux>(), slave, kFrame);
    }
    EXPECT_EQ(readFrame(master), kFrame);
    ::close(slave);
    ::close(master);
  }
}

TEST(LastWordGuardianTest, AFailedPipeOrForkIsReportedWithTheSystemTextAndLeavesNothingOpen) {
  auto functions = std::make_shared<MockGuardianFunctions>();
  EXPECT_CALL(*functions, _pipe2(_, _)).WillOnce([](int*, int) {
    errno = EMFILE;
    return -1;
  });
  EXPECT_CALL(*functions, _close(_)).Times(0);
  try {
    LastWordGuardian guardian(functions, 3, kFrame);
    ADD_FAILURE() << "nothing thrown";
  } catch (const VOK::VOKException& e) {
    EXPECT_EQ(std::string(e.what()), std::string("last-word guardian: pipe: ") + std::strerror(EMFILE));
  }
  testing::Mock::VerifyAndClearExpectations(functions.get());

  EXPECT_CALL(*functions, _pipe2(_, _)).WillOnce([](int* ends, int) {
    ends[0] = 41;
    ends[1] = 42;
    return 0;
  });
  EXPECT_CALL(*functions, _fork()).WillOnce([] {
    errno = EAGAIN;
    return -1;
  });
  EXPECT_CALL(*functions, _close(41)).WillOnce(Return(0));
  EXPECT_CALL(*functions, _close(42)).WillOnce(Return(0));
  try {
    LastWordGuardian guardian(functions, 3, kFrame);
    ADD_FAILURE() << "nothing thrown";
  } catch (const VOK::VOKException& e) {
    EXPECT_EQ(std::string(e.what()), std::string("last-word guardian: fork: ") + std::strerror(EAGAIN));
  }
  EXPECT_THROW(LastWordGuardian(nullptr, 3, kFrame), std::invalid_argument);
}

}  // namespace
