// The operator console in a real browser and real requests: only the
// operator's page, opened with the console's token, moves the serial line;
// it drives from keys and a stand-in game pad, each fault of the table puts
// the neutral frame there and keeps it, a stored mapping naming no input is
// refused on the page, the page shows the camera stream, and a page of
// another origin in the same browser moves nothing.
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PythonCommand.h"
#include "ServoLineTest.h"
#include "VideoFolder.h"
#include "vok_itest.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::HasSubstr;

namespace {

const std::string kRemoteRing = "/Remote_open_control_kit_enabled_target_(Zentor)Shm";
const std::string kCameraRing = "/ZentorMotion(ZM)Shm";
const std::string kNeutral = "88888888888888D";
constexpr size_t kFrame = 15;

// The page lets go at once; the line's passes add up to about 0.3 s. The
// neutral frame must then stay longer than a hidden page's throttled timer
// (1 s) and the server's dead-man together would let a stale page drive again.
constexpr auto kNeutralBound = 1s;
constexpr auto kNeutralHold = 1500ms;

// A fault row: what console_browser.py does to the driving page, and the
// frame that page drives before.
struct FaultRow {
  std::string fault;
  std::string driven;
};
const std::vector<FaultRow> kFaultRows = {
    {"tab closed", "9A888888888888D"},              // keys w d w w
    {"game pad lost", "80888888888888D"},           // axis 1 at -1
    {"enable button released", "88F88888888888D"},  // axis 2 at 1
    {"page hidden", "888F8888888888D"},             // axis 3 at 1
};

// A folder of the test's own for the console's token file, removed with it.
struct TokenFolder {
  TokenFolder() {
    char name[] = "/tmp/vok_console_itest.XXXXXX";
    path = ::mkdtemp(name) != nullptr ? name : "";
  }
  ~TokenFolder() { std::filesystem::remove_all(path); }
  std::string path;
};

// The token from the console's line "console at http://...?token=T (...".
std::string tokenIn(const std::string& log) {
  const std::string mark = "?token=";
  const size_t start = log.find(mark);
  return start == std::string::npos ? "" : log.substr(start + mark.size(), log.find(' ', start) - start - mark.size());
}

// The frames on the line, each change once.
struct LineLog {
  std::vector<std::string> changes;
  std::string pending;

  void read(vok_itest::SerialLine& line, std::chrono::milliseconds timeout) {
    pending += line.read(kFrame - pending.size(), timeout);
    if (pending.size() == kFrame) {
      if (changes.empty() || changes.back() != pending) {
        changes.push_back(pending);
      }
      pending.clear();
    }
  }

  // Reads until the line carries frame; whether it did within timeout.
  bool until(vok_itest::SerialLine& line, const std::string& frame, Clock::duration timeout) {
    readWhile(line, [&] { return changes.empty() || changes.back() != frame; }, timeout);
    return !changes.empty() && changes.back() == frame;
  }

  // Reads while running() holds, for timeout at the most.
  template <typename Running>
  void readWhile(vok_itest::SerialLine& line, Running running, Clock::duration timeout) {
    for (auto end = Clock::now() + timeout; running() && Clock::now() < end;) {
      read(line, 20ms);
    }
  }

  // Reads for duration; whether the line carried nothing new meanwhile.
  bool holds(vok_itest::SerialLine& line, Clock::duration duration) {
    const size_t seen = changes.size();
    readWhile(line, [] { return true; }, duration);
    return changes.size() == seen;
  }
};

std::vector<std::string> browserCommand(const std::string& token) {
  std::vector<std::string> command{PYTHON_EXECUTABLE, BROWSER_SCRIPT, "http://127.0.0.1:2021/?token=" + token};
  for (const FaultRow& row : kFaultRows) {
    command.push_back(row.fault);
  }
  return command;
}

using OperatorConsoleTest = vok_itest::ServoLineTest;

TEST_F(OperatorConsoleTest, OnlyTheOperatorsPageDrivesAndEachFaultOfThePageEndsOnTheNeutralFrame) {
  vok_itest::ShmLeftovers leftovers{{kRemoteRing, kCameraRing}};
  vok_itest::BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  TokenFolder tokenFolder;
  std::vector<std::string> serve = vok_itest::pythonCommand({TOOL_SCRIPT, "serve"});
  serve.insert(serve.begin() + 1, "RUNTIME_DIRECTORY=" + tokenFolder.path);
  vok_itest::StartedProcess console(serve);
  ASSERT_TRUE(vok_itest::eventually([] { return vok_itest::fileExists("/dev/shm" + kRemoteRing); }, 30s))
      << console.errors();
  vok_itest::BrokerProcess servo(SERVO_CONTROLLER_PATH, {});
  LineLog line;
  line.until(serial, kNeutral, 15s);
  ASSERT_EQ(line.changes, std::vector<std::string>{kNeutral}) << servo.errors();
  vok_itest::eventually([&] { return !tokenIn(console.errors()).empty(); }, 10s);
  const std::string token = tokenIn(console.errors());
  ASSERT_EQ(token.size(), 24u) << console.errors();
  EXPECT_EQ(vok_itest::readFile(tokenFolder.path + "/console-2021.token"), token + "\n");

  // The table of requests: only the operator's cookie drives (channel 0 at 11).
  vok_itest::StartedProcess requests({PYTHON_EXECUTABLE, REQUESTS_SCRIPT, "http://127.0.0.1:2021", token});
  line.readWhile(serial, [&] { return !requests.hasExited(); }, 60s);
  EXPECT_EQ(requests.waitForExit(1s), std::optional<int>(0)) << requests.output() << requests.errors();
  line.until(serial, kNeutral, 1s);
  ASSERT_EQ(line.changes, (std::vector<std::string>{kNeutral, "B8888888888888D", kNeutral})) << requests.output();
  line.changes = {kNeutral};

  // The camera: a test-mode broker, once the first one has answered its apps.
  ASSERT_TRUE(broker.waitForOutput("provider for", 10s)) << broker.output();
  VideoFolder videoFolder(true, true);
  vok_itest::BrokerProcess video(VOK_APP_PATH, {"-t", "1"}, videoFolder.path());
  ASSERT_TRUE(video.waitForOutput("I am consumer reading providers memory", 20s)) << video.output();

  vok_itest::StartedProcess browser(browserCommand(token));
  for (const FaultRow& row : kFaultRows) {
    SCOPED_TRACE(row.fault);
    ASSERT_TRUE(browser.waitForOutput("driving " + row.fault + "\n", 60s))
        << browser.output() << browser.errors() << console.errors();
    ASSERT_TRUE(line.until(serial, row.driven, 10s)) << line.changes.back();
    const Clock::time_point asked = Clock::now();
    browser.sendSignal(SIGUSR1);
    ASSERT_TRUE(line.until(serial, kNeutral, kNeutralBound)) << line.changes.back() << browser.output();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked);
    std::cout << "fault row \"" << row.fault << "\": neutral frame " << took.count()
              << " ms after the fault was asked for" << std::endl;
    EXPECT_TRUE(line.holds(serial, kNeutralHold)) << line.changes.back();
    browser.sendSignal(SIGUSR1);
  }
  // Then a page of another origin tries to drive: the line must not move.
  const size_t beforeForeign = line.changes.size();
  line.readWhile(serial, [&] { return !browser.hasExited(); }, 30s);
  EXPECT_EQ(browser.waitForExit(1s), std::optional<int>(0)) << browser.output() << browser.errors();
  EXPECT_THAT(browser.output(), HasSubstr("image 320x240\n"));
  EXPECT_THAT(browser.output(), HasSubstr("mapping error Stored game pad mapping refused (channel 0 "
                                          "names \"axis 99\", no input); the default mapping is used.\n"
                                          "mapping enable button 4\nmapping kept True\n"));
  // The foreign page's WebSocket is refused in its handshake, and the line stays.
  EXPECT_THAT(browser.output(), HasSubstr("foreign closed 1006\n"));
  EXPECT_EQ(line.changes.size(), beforeForeign) << line.changes.back();

  // The console ends on the neutral values too, and in order.
  console.sendSignal(SIGTERM);
  EXPECT_EQ(console.waitForExit(5s), std::optional<int>(0)) << console.errors();
  EXPECT_EQ(servo.interrupt(5s), std::optional<int>(0));
  EXPECT_EQ(video.interrupt(10s), std::optional<int>(0));
  EXPECT_EQ(broker.interrupt(5s), std::optional<int>(0));
}

}  // namespace
