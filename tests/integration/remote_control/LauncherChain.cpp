#include "LauncherChain.h"

#include <signal.h>
#include <unistd.h>

#include <regex>

#include "EmulatedLaunch.h"

using namespace std::chrono_literals;

namespace launcher_itest {

std::string chainLine(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    line += "'" + word + "' ";
  }
  return line + "\n";
}

std::vector<pid_t> pidsOf(const std::string& output, unsigned member) {
  const std::regex line("member " + std::to_string(member) + " \\([^)]*\\) (went into the background )?as pid (\\d+)");
  std::vector<pid_t> pids;
  for (std::sregex_iterator it(output.begin(), output.end(), line), end; it != end; ++it) {
    pids.push_back(std::stoi((*it)[2]));
  }
  return pids;
}

ChainLauncher::ChainLauncher(const std::string& chainFile)
    : StartedProcess({VOK_LAUNCHER_PATH, "--backoff", "200", "--backoff-cap", "1000", "--grace", "3000", "--pause",
                      "700", chainFile}) {}

ChainLauncher::~ChainLauncher() {
  if (!hasExited()) {
    sendSignal(SIGTERM);
    waitForExit(30s);
  }
}

void LauncherFaults::SetUp() {
  ServoLineTest::SetUp();
  if (IsSkipped()) {
    return;
  }
  if (vok_itest::runsEmulated()) {
    // qemu-user refuses PR_SET_CHILD_SUBREAPER to the program it runs, so an
    // emulated launcher cannot adopt its members' daemons and stops at once.
    GTEST_SKIP() << "the launcher needs PR_SET_CHILD_SUBREAPER, which qemu-user does not provide";
  }
  vok_itest::becomeSubreaper();  // whatever the launcher leaves becomes ours, and visible
}

void LauncherFaults::TearDown() { ::unlink(chainFile.c_str()); }

testing::AssertionResult LauncherFaults::framesWithin(std::chrono::milliseconds timeout) {
  serial.read(1 << 16, 100ms);
  const std::string got = serial.read(2 * kFrameSize, timeout);
  const std::regex frame("([0-9A-F]{14}D){2}");
  if (std::regex_match(got, frame)) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "on the line: \"" << got << "\"";
}

void LauncherFaults::expectRemoval(const std::string& output, const std::optional<std::string>& left) {
  if (left) {
    const std::string removal = left->empty() ? kLogPrefix + "Removed the " : *left;
    EXPECT_EQ(!left->empty(), output.find(removal) != std::string::npos) << output;
  }
}

void LauncherFaults::stopAndExpectNothingLeft(ChainLauncher& launcher, int stop) {
  launcher.sendSignal(stop);
  EXPECT_EQ(launcher.waitForExit(30s), std::optional<int>(0)) << launcher.output();
  const std::string output = launcher.output();
  EXPECT_NE(std::string::npos, output.find(kLogPrefix + "Chain stopped\n")) << output;
  for (unsigned member = 1; member <= 5; ++member) {
    for (pid_t pid : pidsOf(output, member)) {
      EXPECT_TRUE(vok_itest::processGone(pid)) << "member " << member << " pid " << pid << " left\n" << output;
    }
  }
  for (pid_t pid : pidsOf(output, 1)) {
    EXPECT_FALSE(vok_itest::fileExists(vok_itest::socketPathOf(pid))) << output;
  }
  EXPECT_FALSE(vok_itest::fileExists("/dev/shm" + kShmName)) << output;
  EXPECT_FALSE(vok_itest::fileExists("/dev/shm" + kCameraShmName)) << output;
}

}  // namespace launcher_itest
