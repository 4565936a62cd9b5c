#include "vok_itest.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using vok_itest::BrokerProcess;
using vok_itest::StartedProcess;

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
  EXPECT_TRUE(vok_itest::processGone(pid));
}

TEST(BrokerProcess, AdoptsTheForkedChildAndKillsItByPidAtTheEnd) {
  pid_t daemon = 0;
  {
    BrokerProcess background(FAKE_DAEMON_PATH, {});
    EXPECT_EQ(0, background.commandStatus());
    daemon = background.pid();
    EXPECT_FALSE(vok_itest::processGone(daemon));
    EXPECT_TRUE(background.waitForOutput("going into daemon mode", 2s));
  }
  EXPECT_TRUE(vok_itest::processGone(daemon));
}

}  // namespace
