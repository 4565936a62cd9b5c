#include "vok_itest.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <cerrno>

namespace {

using namespace std::chrono_literals;
using vok_itest::BrokerProcess;
using vok_itest::StartedProcess;

bool alive(pid_t pid) {
  return ::kill(pid, 0) == 0 || errno != ESRCH;
}

TEST(StartedProcess, CapturesBothStreamsAndTheExitStatus) {
  StartedProcess shell({"/bin/sh", "-c", "echo out; echo err >&2; exit 3"});
  EXPECT_EQ(3, shell.waitForExit(5s).value_or(-1));
  EXPECT_EQ("out\n", shell.output());
  EXPECT_EQ("err\n", shell.errors());
}

TEST(StartedProcess, ProgramThatCannotRunEndsWith127) {
  StartedProcess missing({"/nonexistent/program"});
  EXPECT_EQ(127, missing.waitForExit(5s).value_or(-1));
}

TEST(StartedProcess, DestructorKillsWhatStillRuns) {
  pid_t pid = 0;
  {
    StartedProcess sleeper({"/bin/sleep", "30"});
    pid = sleeper.pid();
    EXPECT_FALSE(sleeper.waitForExit(50ms).has_value());
  }
  EXPECT_FALSE(alive(pid));
}

TEST(BrokerProcess, AdoptsTheForkedChildAndKillsItByPidAtTheEnd) {
  pid_t daemon = 0;
  {
    BrokerProcess background(FAKE_DAEMON_PATH, {});
    EXPECT_EQ(0, background.commandStatus());
    daemon = background.pid();
    EXPECT_TRUE(alive(daemon));
    EXPECT_TRUE(background.waitForOutput("going into daemon mode", 2s));
  }
  EXPECT_FALSE(alive(daemon));
}

}  // namespace
