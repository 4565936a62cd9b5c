// Safe stops on the servo line with real parts: VOK_App, the operator tool
// over _CommandFeed, servo_controller and a pseudo-terminal as serial line.
#include <signal.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EmulatedLaunch.h"
#include "PythonCommand.h"
#include "ServoLineTest.h"
#include "vok_itest.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::HasSubstr;
using vok_itest::pythonCommand;

namespace {

const std::string kShmName = "/Remote_open_control_kit_enabled_target_(Zentor)Shm";
const std::string kValues = "1BF88888888888D";   // the tool's "set 1,11,15"
const std::string kNeutral = "88888888888888D";  // the default neutral values
const std::string kClamped = "FFFFFFFFFFFFFFD";  // every channel at 16, clamped
const std::string kLost = "Feed lost: no new record for 500 ms, sending the neutral values";
const std::string kBack = "Feed back: records flow again";
constexpr size_t kFrame = 15;

// A feed that drives kValues until SIGUSR1, whose handler then hangs the
// interpreter for good: only the publisher's own dead-man can end it.
const char* const kHungFeed =
    "import signal, time, _CommandFeed\n"
    "signal.signal(signal.SIGUSR1, lambda *_: time.sleep(3600))\n"
    "_CommandFeed.connect()\n"
    "_CommandFeed.set_deadman(300)\n"
    "while True:\n"
    "    _CommandFeed.send('\\x01\\x0b\\x0f', 3)\n"
    "    time.sleep(0.1)\n";

// Runs the controller with standard output and error into a pipe whose
// reader closes after the first byte, as "... 2>&1 | head -c 1" does.
const std::vector<std::string> kPipeClosingLauncher = {"/bin/sh", "-c", "\"$0\" \"$@\" 2>&1 | head -c 1"};

enum class Feed { Tool, HungWithDeadman, ProviderOfSixteen };

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++n;
  }
  return n;
}

class FailsafeTest : public vok_itest::ServoLineTest {
 protected:
  // Broker, the feed (publishing kValues, or 16 on every channel), then
  // servo_controller with servoArguments ("|" first: its output into a
  // pipe that closes), until the feed's frame is on the line.
  void startChain(std::vector<std::string> servoArguments, Feed feed = Feed::Tool) {
    broker.emplace(VOK_APP_PATH, std::vector<std::string>{"-c", "2"});
    ASSERT_TRUE(broker->waitForSocketFile(10s));
    if (feed == Feed::Tool) {
      tool.emplace(pythonCommand({TOOL_SCRIPT, "set", "1,11,15"}));
    } else if (feed == Feed::HungWithDeadman) {
      tool.emplace(pythonCommand({"-c", kHungFeed}));
    } else {
      tool.emplace(std::vector<std::string>{RING_PROVIDER_PATH, kShmName, "16"});
    }
    ASSERT_TRUE(vok_itest::eventually([] { return vok_itest::fileExists("/dev/shm" + kShmName); }, 30s))
        << tool->errors();
    const bool piped = !servoArguments.empty() && servoArguments.front() == "|";
    if (piped) {
      servoArguments.erase(servoArguments.begin());
    }
    std::vector<std::string> launcher;
    if (piped) {
      // Under an emulator the shell cannot run the program itself: it runs
      // the emulator, which runs the program.
      const std::vector<std::string> run = vok_itest::launchCommand({SERVO_CONTROLLER_PATH});
      launcher = kPipeClosingLauncher;
      launcher.insert(launcher.end(), run.begin(), run.end() - 1);
    }
    servo.emplace(SERVO_CONTROLLER_PATH, servoArguments, "", 10s, launcher);
    const std::string driving = feed == Feed::ProviderOfSixteen ? kClamped : kValues;
    ASSERT_TRUE(frameBefore(driving, Clock::now() + 15s)) << servo->output() << servo->errors();
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

  // Reads whole frames for duration; how many of them, from the first
  // onwards, equal frame (all are kept in seen, which is emptied first).
  size_t framesFor(std::chrono::milliseconds duration, const std::string& frame) {
    seen.clear();
    const Clock::time_point end = Clock::now() + duration;
    while (frameBefore(frame, end)) {
    }
    size_t equal = 0;
    while (equal < seen.size() && seen[equal] == frame) {
      ++equal;
    }
    return equal;
  }

  // The last frame once the line has been quiet for a second.
  std::string lastFrame() {
    std::string rest = pending + serial.read(1 << 16, 1s);
    pending.clear();
    return rest.size() >= kFrame ? rest.substr(rest.size() - kFrame) : (seen.empty() ? "" : seen.back());
  }

  vok_itest::ShmLeftovers leftovers{{kShmName}};
  std::optional<vok_itest::BrokerProcess> broker;
  std::optional<vok_itest::StartedProcess> tool;
  std::optional<vok_itest::BrokerProcess> servo;
  std::string pending;
  std::vector<std::string> seen;
};

// A stopped feed process (SIGSTOP) writes no more records: the failsafe
// sends the controller's (here overridden) neutral; resumed, its values come
// back; the orderly stop ends on that neutral. A feed that hangs while its
// process runs is the table's "feed hung with a dead-man" row.
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

// The fault-injection table: one fault per row, with the frame the line
// must carry after it and a generous bound. After that frame, the line
// carries nothing else for a while; a controller still running keeps
// sending it and ends on neutral at its orderly stop.
TEST_F(FailsafeTest, EveryFaultLeavesItsFrameOnTheLine) {
  using Inject = std::function<void()>;
  struct Fault {
    std::string name;
    Feed feed;
    std::vector<std::string> servoArguments;
    Inject inject;
    std::string frame;
    std::chrono::milliseconds within;
    std::optional<int> servoStatus = std::nullopt;  // the fault ends the controller so
    std::optional<int> feedStatus = std::nullopt;
  };
  const Inject none = [] {};
  const std::vector<Fault> faults = {
      {"feed killed", Feed::Tool, {"--failsafe", "500"},
       [this] { tool->sendSignal(SIGKILL); }, kNeutral, 1500ms, std::nullopt, 128 + SIGKILL},
      {"feed asked to stop", Feed::Tool, {}, [this] { tool->sendSignal(SIGTERM); }, kNeutral, 1500ms,
       std::nullopt, 0},
      {"feed hung with a dead-man", Feed::HungWithDeadman, {},
       [this] { tool->sendSignal(SIGUSR1); }, kNeutral, 1500ms},
      {"servo killed", Feed::Tool, {}, [this] { servo->sendSignal(SIGKILL); }, kNeutral, 1000ms,
       128 + SIGKILL},
      {"output pipe closed", Feed::Tool, {"|"}, none, kValues, 1000ms},
      {"SIGHUP", Feed::Tool, {}, [this] { servo->sendSignal(SIGHUP); }, kNeutral, 1000ms, 0},
      {"XOFF byte", Feed::Tool, {}, [this] { serial.write("\x13"); }, kValues, 1000ms},
      {"noise byte", Feed::Tool, {}, [this] { serial.write("7"); }, kValues, 1000ms},
      {"value 16", Feed::ProviderOfSixteen, {}, none, kClamped, 1000ms},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    // A killed feed leaves its ring's name behind.
    vok_itest::ShmLeftovers stale{{kShmName}};
    startChain(fault.servoArguments, fault.feed);
    fault.inject();
    ASSERT_TRUE(frameBefore(fault.frame, Clock::now() + fault.within)) << testing::PrintToString(seen);
    const size_t following = framesFor(1500ms, fault.frame);
    EXPECT_EQ(following, seen.size()) << testing::PrintToString(seen);
    if (fault.servoStatus) {
      EXPECT_EQ(servo->waitForExit(5s), fault.servoStatus);
    } else {
      EXPECT_GE(following, 5u) << "the line stopped";
      EXPECT_EQ(servo->interrupt(5s), std::optional<int>(0)) << servo->output() << servo->errors();
      EXPECT_EQ(lastFrame(), kNeutral);
    }
    if (fault.servoStatus == 128 + SIGKILL) {
      // The guardian of the killed controller was left to this process.
      const pid_t orphan = vok_itest::adoptedChild("servo_lastword", 1s);
      ASSERT_NE(orphan, 0);
      vok_itest::ChildProcess guardian(orphan);
      EXPECT_EQ(guardian.waitForExit(5s), std::optional<int>(0));
    }
    if (fault.feedStatus) {
      EXPECT_EQ(tool->waitForExit(5s), fault.feedStatus) << tool->errors();
    }
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
