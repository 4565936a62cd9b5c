// Safe stops on the servo line with real parts: VOK_App, the operator tool
// over _CommandFeed, servo_controller and a pseudo-terminal as serial line.
#include <signal.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PythonCommand.h"
#include "SerialLine.h"
#include "vok_itest.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::HasSubstr;
using vok_itest::pythonCommand;

namespace {

const std::string kShmName = "/Remote_open_control_kit_enabled_target_(Zentor)Shm";
const std::string kValues = "1BF88888888888D";   // the tool's "set 1,11,15"
const std::string kNeutral = "88888888888888D";  // the default neutral values
const std::string kLost = "Feed lost: no new record for 500 ms, sending the neutral values";
const std::string kBack = "Feed back: records flow again";
constexpr size_t kFrame = 15;

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++n;
  }
  return n;
}

class FailsafeTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!serial.linked()) {
      GTEST_SKIP() << "/dev/serial0 exists; this test never replaces it";
    }
  }

  // Broker, the tool publishing kValues, then servo_controller with servoArguments.
  void startChain(const std::vector<std::string>& servoArguments) {
    broker.emplace(VOK_APP_PATH, std::vector<std::string>{"-c", "2"});
    ASSERT_TRUE(broker->waitForSocketFile(10s));
    tool.emplace(pythonCommand({TOOL_SCRIPT, "set", "1,11,15"}));
    ASSERT_TRUE(waitFor([] { return vok_itest::fileExists("/dev/shm" + kShmName); }, 30s))
        << tool->errors();
    servo.emplace(SERVO_CONTROLLER_PATH, servoArguments);
    ASSERT_TRUE(frameBefore(kValues, Clock::now() + 15s)) << servo->output() << servo->errors();
  }

  template <typename Pred>
  static bool waitFor(Pred pred, std::chrono::milliseconds timeout) {
    auto end = Clock::now() + timeout;
    while (!pred() && Clock::now() < end) {
      std::this_thread::sleep_for(20ms);
    }
    return pred();
  }

  // Reads whole frames until one equals frame; whether it came by deadline.
  bool frameBefore(const std::string& frame, Clock::time_point deadline) {
    while (Clock::now() < deadline) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      pending += serial.read(kFrame - pending.size(), left);
      if (pending.size() == kFrame) {
        seen.push_back(pending);
        pending.clear();
        if (seen.back() == frame) {
          return true;
        }
      }
    }
    return false;
  }

  // The last frame once the line has been quiet for a second.
  std::string lastFrame() {
    std::string rest = pending + serial.read(1 << 16, 1s);
    pending.clear();
    return rest.size() >= kFrame ? rest.substr(rest.size() - kFrame) : (seen.empty() ? "" : seen.back());
  }

  vok_itest::ShmLeftovers leftovers{{kShmName}};
  vok_itest::SerialLine serial{"/dev/serial0"};
  std::optional<vok_itest::BrokerProcess> broker;
  std::optional<vok_itest::StartedProcess> tool;
  std::optional<vok_itest::BrokerProcess> servo;
  std::string pending;
  std::vector<std::string> seen;
};

// A frozen feed stands for one that hangs; resumed, its values come back;
// the controller's own orderly stop ends on its (here overridden) neutral.
TEST_F(FailsafeTest, FrozenFeedGivesNeutralResumedFeedItsValuesAndAStopEndsOnNeutral) {
  const std::string controllerNeutral = "38888888888888D";
  startChain({"--failsafe", "500", "--neutral", "3"});
  tool->sendSignal(SIGSTOP);
  ASSERT_TRUE(frameBefore(controllerNeutral, Clock::now() + 700ms)) << testing::PrintToString(seen);
  tool->sendSignal(SIGCONT);
  ASSERT_TRUE(frameBefore(kValues, Clock::now() + 1s)) << testing::PrintToString(seen);
  EXPECT_EQ(servo->interrupt(5s), std::optional<int>(0)) << servo->output() << servo->errors();
  EXPECT_EQ(lastFrame(), controllerNeutral);
  EXPECT_EQ(count(servo->output(), kLost), 1u) << servo->output();
  EXPECT_EQ(count(servo->output(), kBack), 1u) << servo->output();
}

// Which end puts the neutral frame on the line: the controller's failsafe
// for a killed feed, the tool itself when it is asked to stop.
TEST_F(FailsafeTest, KilledOrStoppedFeedLeavesTheNeutralFrameOnTheLine) {
  struct Case {
    std::vector<std::string> servoArguments;
    int signal;
    std::chrono::milliseconds within;
    std::optional<int> toolStatus;
  };
  const std::vector<Case> cases{{{"--failsafe", "500"}, SIGKILL, 700ms, 128 + SIGKILL},
                                {{}, SIGTERM, 1s, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.signal);
    // A killed feed leaves its ring's name behind.
    vok_itest::ShmLeftovers stale{{kShmName}};
    startChain(c.servoArguments);
    tool->sendSignal(c.signal);
    EXPECT_TRUE(frameBefore(kNeutral, Clock::now() + c.within)) << testing::PrintToString(seen);
    EXPECT_EQ(tool->waitForExit(5s), c.toolStatus) << tool->errors();
    // Without a failsafe the controller repeats the last record: the tool's neutral one.
    EXPECT_EQ(lastFrame(), kNeutral);
    EXPECT_EQ(servo->interrupt(5s), std::optional<int>(0));
    EXPECT_EQ(broker->interrupt(5s), std::optional<int>(0));
    servo.reset();
    tool.reset();
    broker.reset();
    pending.clear();
    seen.clear();
  }
}

TEST(OperatorToolTest, WithoutABrokerItSaysSoAndExitsNonZeroWithinItsStartTimeout) {
  vok_itest::StartedProcess tool(pythonCommand({TOOL_SCRIPT, "--start-timeout", "2", "set", "1"}));
  // Timed from the publisher's first attempt, not from the interpreter's start.
  ASSERT_TRUE(tool.waitForOutput("ERR: ", 30s)) << tool.errors();
  const auto start = Clock::now();
  EXPECT_EQ(tool.waitForExit(4s), std::optional<int>(1));
  EXPECT_LT(Clock::now() - start, 3s);
  EXPECT_THAT(tool.errors(), HasSubstr("command_feed: the publisher did not start within 2 s"));
}

}  // namespace
