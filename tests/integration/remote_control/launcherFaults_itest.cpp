// The remote-control chain under vok_launcher: one member killed with SIGKILL,
// while the broker waits for sign-ins or while frames flow; the launcher
// restarts the chain and frames come back on the serial line.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "EmulatedLaunch.h"
#include "SerialLine.h"
#include "PythonCommand.h"
#include "vok_itest.h"

using namespace std::chrono_literals;

namespace {

const std::string kShmName = "/Remote_open_control_kit_enabled_target_(Zentor)Shm";
const std::string kLogPrefix = "Log: (vok_launcher/src/main): ";
constexpr size_t kFrameSize = 15;

std::string quoted(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    line += "'" + word + "' ";
  }
  return line + "\n";
}

// The pids that the launcher reports for member (1: broker, 2: feed, 3: servo).
std::vector<pid_t> pidsOf(const std::string& output, unsigned member) {
  const std::regex line("member " + std::to_string(member) + " \\([^)]*\\) (went into the background )?as pid (\\d+)");
  std::vector<pid_t> pids;
  for (std::sregex_iterator it(output.begin(), output.end(), line), end; it != end; ++it) {
    pids.push_back(std::stoi((*it)[2]));
  }
  return pids;
}

// Whether a process is gone (not even a zombie).
bool gone(pid_t pid) { return ::kill(pid, 0) == -1 && errno == ESRCH; }

class LauncherFaults : public testing::Test {
 protected:
  void SetUp() override {
    if (!serial.linked()) {
      GTEST_SKIP() << "/dev/serial0 exists; this test never replaces it";
    }
    if (vok_itest::runsEmulated()) {
      // qemu-user refuses PR_SET_CHILD_SUBREAPER to the program it runs, so an
      // emulated launcher cannot adopt its members' daemons and stops at once.
      GTEST_SKIP() << "the launcher needs PR_SET_CHILD_SUBREAPER, which qemu-user does not provide";
    }
    vok_itest::becomeSubreaper();  // whatever the launcher leaves becomes ours, and visible
    std::ofstream(chainFile) << "# broker, feed, servo\n"
                             << quoted({VOK_APP_PATH})
                             << quoted(vok_itest::pythonCommand({TOOL_SCRIPT, "--publisher-log", "/dev/null", "sweep",
                                                                 "--channels", "0,1,2"}))
                             << quoted({SERVO_CONTROLLER_PATH, "--failsafe", "500"});
  }
  void TearDown() override { ::unlink(chainFile.c_str()); }

  // Two whole frames within timeout, read after what is already on the line.
  ::testing::AssertionResult framesWithin(std::chrono::milliseconds timeout) {
    serial.read(1 << 16, 100ms);
    const std::string got = serial.read(2 * kFrameSize, timeout);
    const std::regex frame("([0-9A-F]{14}D){2}");
    if (std::regex_match(got, frame)) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "on the line: \"" << got << "\"";
  }

  vok_itest::ShmLeftovers leftovers{{kShmName}};
  vok_itest::SerialLine serial{"/dev/serial0"};
  std::string chainFile = "/tmp/vok_launcher_itest_" + std::to_string(::getpid()) + ".chain";
};

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(20ms);
  }
  return condition();
}

// Waits for the member to be where the broker still waits for sign-ins: the
// broker listening before the feed starts, the feed with its ring made before
// the servo starts, the servo as soon as it has gone into the background.
bool reachSignIn(const vok_itest::StartedProcess& launcher, unsigned member) {
  switch (member) {
    case 1:
      return launcher.waitForOutput("member 1 (VOK_App) went into the background", 20s) &&
             eventually([&] { return vok_itest::fileExists(vok_itest::socketPathOf(pidsOf(launcher.output(), 1).back())); },
                        5s);
    case 2:
      return launcher.waitForOutput("Started member 2 (env)", 20s) &&
             eventually([] { return vok_itest::fileExists("/dev/shm" + kShmName); }, 10s);
    default:
      return launcher.waitForOutput("member 3 (servo_controller) went into the background", 20s);
  }
}

TEST_F(LauncherFaults, KilledMemberIsRestartedWithTheChainAndNothingIsLeftAfterTheStop) {
  // left: the removal the launcher logs before the restart; "" when it
  // removes nothing. None for a feed killed within moments of making its
  // ring: it may go before the launcher has seen the name, and then the next
  // feed takes the name over. neutral: the neutral frame is on the line
  // within 0.7 s of the kill (for a killed servo, its last word). silent:
  // nothing reaches the line once its writer and its last word are gone,
  // until the chain restarts. stop: the signal that stops the launcher at
  // the end (SIGHUP: a closed terminal).
  struct Fault {
    unsigned member;
    bool whileSigningIn;
    std::optional<std::string> left;
    bool neutral = false;
    bool silent = false;
    int stop = SIGINT;
  };
  const std::string socketFile = kLogPrefix + "Removed the socket file /tmp/sock_";
  const std::string ring = kLogPrefix + "Removed the shared-memory name " + kShmName + " of an owner that is gone\n";
  const std::vector<Fault> faults = {{1, true, socketFile},
                                     {1, false, socketFile},
                                     {2, true, std::nullopt},
                                     {2, false, ring, true},
                                     {3, true, "", false, true, SIGHUP},
                                     {3, false, "", true, true, SIGHUP}};
  for (const Fault& fault : faults) {
    SCOPED_TRACE("member " + std::to_string(fault.member) + (fault.whileSigningIn ? " while signing in" : " while running"));
    vok_itest::StartedProcess launcher({VOK_LAUNCHER_PATH, "--backoff", "200", "--backoff-cap", "1000", "--grace",
                                        "3000", "--pause", "700", chainFile});
    if (fault.whileSigningIn) {
      ASSERT_TRUE(reachSignIn(launcher, fault.member)) << launcher.output();
    } else {
      ASSERT_TRUE(framesWithin(20s)) << launcher.output();
    }
    const std::vector<pid_t> victims = pidsOf(launcher.output(), fault.member);
    ASSERT_FALSE(victims.empty()) << launcher.output();
    serial.read(1 << 16, 100ms);
    ASSERT_EQ(0, ::kill(victims.back(), SIGKILL));
    const auto killed = std::chrono::steady_clock::now();
    if (fault.neutral) {
      EXPECT_NE(std::string::npos, serial.read(1 << 16, 700ms).find("88888888888888D")) << launcher.output();
    }
    if (fault.silent) {
      ASSERT_TRUE(eventually([&] { return gone(victims.back()); }, 2s)) << launcher.output();
      serial.read(1 << 16, 100ms);  // what it wrote before it went
      EXPECT_EQ("", serial.read(1 << 16, 500ms)) << launcher.output();
    }
    ASSERT_TRUE(launcher.waitForOutput(kLogPrefix + "Restarting the chain in 200 ms", 10s)) << launcher.output();
    if (fault.left) {
      const std::string removal = fault.left->empty() ? kLogPrefix + "Removed the " : *fault.left;
      EXPECT_EQ(!fault.left->empty(), launcher.output().find(removal) != std::string::npos) << launcher.output();
    }
    EXPECT_TRUE(framesWithin(std::chrono::duration_cast<std::chrono::milliseconds>(killed + 15s -
                                                                                   std::chrono::steady_clock::now())))
        << launcher.output();

    launcher.sendSignal(fault.stop);
    EXPECT_EQ(launcher.waitForExit(30s), std::optional<int>(0)) << launcher.output();
    const std::string output = launcher.output();
    EXPECT_NE(std::string::npos, output.find(kLogPrefix + "Chain stopped\n")) << output;
    for (unsigned member = 1; member <= 3; ++member) {
      for (pid_t pid : pidsOf(output, member)) {
        EXPECT_TRUE(gone(pid)) << "member " << member << " pid " << pid << " left\n" << output;
      }
    }
    for (pid_t pid : pidsOf(output, 1)) {
      EXPECT_FALSE(vok_itest::fileExists(vok_itest::socketPathOf(pid))) << output;
    }
    EXPECT_FALSE(vok_itest::fileExists("/dev/shm" + kShmName)) << output;
  }
}

}  // namespace
