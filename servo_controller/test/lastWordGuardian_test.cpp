#include "lastWordGuardian.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "GuardianWrapperLinux.h"
#include "PseudoTerminal.h"
#include "VOKException.h"
#include "thrownText.h"

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

// Whichever way its owner ends, the guardian writes the frame once.
TEST(LastWordGuardianTest, TheFrameGoesOnTheLineWhenItsOwnerStopsOrIsKilled) {
  for (const bool killed : {false, true}) {
    SCOPED_TRACE(killed ? "killed" : "orderly");
    PseudoTerminal line;
    ASSERT_FALSE(line.path.empty());
    termios raw{};
    ::tcgetattr(line.slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(line.slave, TCSANOW, &raw);
    if (killed) {
      const pid_t owner = ::fork();
      if (owner == 0) {
        LastWordGuardian guardian(std::make_shared<GuardianWrapperLinux>(), line.slave, kFrame);
        ::raise(SIGKILL);
      }
      ASSERT_GT(owner, 0);
      ::waitpid(owner, nullptr, 0);
    } else {
      LastWordGuardian guardian(std::make_shared<GuardianWrapperLinux>(), line.slave, kFrame);
    }
    EXPECT_EQ(line.read(kFrame.size()), kFrame);
  }
}

TEST(LastWordGuardianTest, AFailedPipeOrForkIsReportedWithTheSystemTextAndLeavesNothingOpen) {
  auto functions = std::make_shared<MockGuardianFunctions>();
  auto failure = [&] { return thrownText<VOK::VOKException>([&] { LastWordGuardian(functions, 3, kFrame); }); };
  EXPECT_CALL(*functions, _pipe2(_, _)).WillOnce(testing::SetErrnoAndReturn(EMFILE, -1));
  EXPECT_CALL(*functions, _close(_)).Times(0);
  EXPECT_EQ(failure(), std::string("last-word guardian: pipe: ") + std::strerror(EMFILE));
  testing::Mock::VerifyAndClearExpectations(functions.get());

  EXPECT_CALL(*functions, _pipe2(_, _)).WillOnce([](int* ends, int) {
    ends[0] = 41;
    ends[1] = 42;
    return 0;
  });
  EXPECT_CALL(*functions, _fork()).WillOnce(testing::SetErrnoAndReturn(EAGAIN, -1));
  EXPECT_CALL(*functions, _close(41)).WillOnce(Return(0));
  EXPECT_CALL(*functions, _close(42)).WillOnce(Return(0));
  EXPECT_EQ(failure(), std::string("last-word guardian: fork: ") + std::strerror(EAGAIN));
  EXPECT_THROW(LastWordGuardian(nullptr, 3, kFrame), std::invalid_argument);
}

}  // namespace
