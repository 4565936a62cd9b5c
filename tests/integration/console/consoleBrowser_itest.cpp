// The operator console with a real browser and real requests: only the
// operator's page, opened with the console's token, moves the serial line;
// key presses there reach it as frames, closing the tab puts the neutral
// frame there, the page shows the camera stream, and a page of another
// origin in the same browser moves nothing.
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PythonCommand.h"
#include "SerialLine.h"
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
};

TEST(OperatorConsoleTest, OnlyTheOperatorsPageDrivesTheLineClosingItReleasesItAndTheStreamShows) {
  vok_itest::SerialLine serial("/dev/serial0");
  if (!serial.linked()) {
    GTEST_SKIP() << "/dev/serial0 exists; this test never replaces it";
  }
  vok_itest::ShmLeftovers leftovers{{kRemoteRing, kCameraRing}};
  vok_itest::BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  TokenFolder tokenFolder;
  std::vector<std::string> serve = vok_itest::pythonCommand({TOOL_SCRIPT, "serve"});
  serve.insert(serve.begin() + 1, "RUNTIME_DIRECTORY=" + tokenFolder.path);
  vok_itest::StartedProcess console(serve);
  auto published = [&] { return vok_itest::fileExists("/dev/shm" + kRemoteRing); };
  for (auto end = Clock::now() + 30s; !published() && Clock::now() < end;) {
    std::this_thread::sleep_for(20ms);
  }
  ASSERT_TRUE(published()) << console.errors();
  vok_itest::BrokerProcess servo(SERVO_CONTROLLER_PATH, {});
  LineLog line;
  for (auto end = Clock::now() + 15s; line.changes.empty() && Clock::now() < end;) {
    line.read(serial, 100ms);
  }
  ASSERT_EQ(line.changes, std::vector<std::string>{kNeutral}) << servo.errors();
  for (auto end = Clock::now() + 10s; tokenIn(console.errors()).empty() && Clock::now() < end;) {
    std::this_thread::sleep_for(20ms);
  }
  const std::string token = tokenIn(console.errors());
  ASSERT_EQ(token.size(), 24u) << console.errors();
  EXPECT_EQ(vok_itest::readFile(tokenFolder.path + "/console-2021.token"), token + "\n");

  // The table of requests: only the operator's cookie drives (channel 0 at 11).
  vok_itest::StartedProcess requests({PYTHON_EXECUTABLE, REQUESTS_SCRIPT, "http://127.0.0.1:2021", token});
  for (auto end = Clock::now() + 60s; !requests.hasExited() && Clock::now() < end;) {
    line.read(serial, 20ms);
  }
  EXPECT_EQ(requests.waitForExit(1s), std::optional<int>(0)) << requests.output() << requests.errors();
  for (auto end = Clock::now() + 1s; line.changes.back() != kNeutral && Clock::now() < end;) {
    line.read(serial, 20ms);
  }
  ASSERT_EQ(line.changes, (std::vector<std::string>{kNeutral, "B8888888888888D", kNeutral})) << requests.output();
  line.changes = {kNeutral};

  // The camera: a test-mode broker, once the first one has answered its apps.
  ASSERT_TRUE(broker.waitForOutput("provider for", 10s)) << broker.output();
  VideoFolder videoFolder(true, true);
  vok_itest::BrokerProcess video(VOK_APP_PATH, {"-t", "1"}, videoFolder.path());
  ASSERT_TRUE(video.waitForOutput("I am consumer reading providers memory", 20s)) << video.output();

  vok_itest::StartedProcess browser(
      {PYTHON_EXECUTABLE, BROWSER_SCRIPT, "http://127.0.0.1:2021/?token=" + token, "w", "d", "w", "w"});
  std::optional<Clock::time_point> closed;
  for (auto end = Clock::now() + 60s; !browser.hasExited() && Clock::now() < end;) {
    line.read(serial, 20ms);
    if (!closed && browser.output().find("closed\n") != std::string::npos) {
      closed = Clock::now();
    }
    if (closed && line.changes.back() == kNeutral) {
      break;
    }
  }
  ASSERT_TRUE(closed) << browser.output() << browser.errors() << console.errors();
  for (auto end = *closed + 1s; line.changes.back() != kNeutral && Clock::now() < end;) {
    line.read(serial, 20ms);
  }
  EXPECT_EQ(line.changes, (std::vector<std::string>{kNeutral, "98888888888888D", "99888888888888D",
                                                    "9A888888888888D", kNeutral}));
  EXPECT_LE(Clock::now() - *closed, 1s);
  EXPECT_THAT(browser.output(), HasSubstr("image 320x240\n"));
  // The foreign page's WebSocket is refused in its handshake, and the line stays.
  for (auto end = Clock::now() + 30s; !browser.hasExited() && Clock::now() < end;) {
    line.read(serial, 20ms);
  }
  EXPECT_EQ(browser.waitForExit(15s), std::optional<int>(0)) << browser.output() << browser.errors();
  EXPECT_THAT(browser.output(), HasSubstr("foreign closed 1006\n"));
  EXPECT_EQ(line.changes.back(), kNeutral);
  EXPECT_EQ(line.changes.size(), 5u);

  // The console ends on the neutral values too, and in order.
  console.sendSignal(SIGTERM);
  EXPECT_EQ(console.waitForExit(5s), std::optional<int>(0)) << console.errors();
  EXPECT_EQ(servo.interrupt(5s), std::optional<int>(0));
  EXPECT_EQ(video.interrupt(10s), std::optional<int>(0));
  EXPECT_EQ(broker.interrupt(5s), std::optional<int>(0));
}

}  // namespace
