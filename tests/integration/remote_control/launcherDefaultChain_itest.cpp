// The remote-control chain under vok_launcher with the broker in its default
// mode: one member killed with SIGKILL while the broker waits for sign-ins
// or while frames flow; the launcher restarts the whole chain and frames
// come back on the serial line.
#include <signal.h>

#include <fstream>

#include "LauncherChain.h"
#include "PythonCommand.h"

using namespace std::chrono_literals;

namespace launcher_itest {
namespace {

// Waits for the member to be where the broker still waits for sign-ins: the
// broker listening before the feed starts, the feed with its ring made before
// the servo starts, the servo as soon as it has gone into the background.
bool reachSignIn(const vok_itest::StartedProcess& launcher, unsigned member) {
  switch (member) {
    case 1:
      return launcher.waitForOutput("member 1 (VOK_App) went into the background", 20s) &&
             vok_itest::eventually(
                 [&] { return vok_itest::fileExists(vok_itest::socketPathOf(pidsOf(launcher.output(), 1).back())); }, 5s);
    case 2:
      return launcher.waitForOutput("Started member 2 (env)", 20s) &&
             vok_itest::eventually([] { return vok_itest::fileExists("/dev/shm" + kShmName); }, 10s);
    default:
      return launcher.waitForOutput("member 3 (servo_controller) went into the background", 20s);
  }
}

TEST_F(LauncherFaults, KilledMemberOfTheDefaultChainRestartsTheChainAndNothingIsLeftAfterTheStop) {
  // neutralWithin: the neutral frame must come within it after the kill (0:
  // not looked at). left: the removal the launcher logs; none when either
  // may happen (a feed killed within moments of making its ring may go
  // before the launcher has seen the name; then the next one takes it over).
  // silent: nothing reaches the line once its writer and its last word are
  // gone, until the chain restarts. stop: the signal that stops the launcher.
  struct Fault {
    unsigned member;
    bool whileSigningIn;
    std::optional<std::string> left;
    std::chrono::milliseconds neutralWithin{0};
    bool silent = false;
    int stop = SIGTERM;
  };
  const std::string socketFile = kLogPrefix + "Removed the socket file /tmp/sock_";
  const std::string ring = kLogPrefix + "Removed the shared-memory name " + kShmName + " of an owner that is gone\n";
  const std::vector<Fault> faults = {
      {1, true, socketFile},
      {1, false, socketFile},
      {2, true, std::nullopt},
      {2, false, ring, 700ms},
      {3, true, "", 0ms, true, SIGHUP},
      {3, false, "", 700ms, true, SIGHUP},
  };
  std::ofstream(chainFile) << "# broker, feed, servo\n"
                           << chainLine({VOK_APP_PATH})
                           << chainLine(vok_itest::pythonCommand({TOOL_SCRIPT, "--publisher-log", "/dev/null", "sweep",
                                                                  "--channels", "0,1,2"}))
                           << chainLine({SERVO_CONTROLLER_PATH, "--failsafe", "500"});
  for (const Fault& fault : faults) {
    SCOPED_TRACE("member " + std::to_string(fault.member) +
                 (fault.whileSigningIn ? " while signing in" : " while running"));
    ChainLauncher launcher(chainFile);
    if (fault.whileSigningIn) {
      ASSERT_TRUE(reachSignIn(launcher, fault.member)) << launcher.output();
    } else {
      ASSERT_TRUE(framesWithin(20s)) << launcher.output();
    }
    const std::vector<pid_t> victims = pidsOf(launcher.output(), fault.member);
    ASSERT_FALSE(victims.empty()) << launcher.output();
    serial.read(1 << 16, 100ms);
    ASSERT_EQ(0, ::kill(victims.back(), SIGKILL));
    const auto killed = Clock::now();
    if (fault.neutralWithin.count() != 0) {
      EXPECT_NE(std::string::npos, serial.read(1 << 16, fault.neutralWithin).find(kNeutral)) << launcher.output();
    }
    if (fault.silent) {
      ASSERT_TRUE(vok_itest::eventually([&] { return vok_itest::processGone(victims.back()); }, 2s)) << launcher.output();
      serial.read(1 << 16, 100ms);  // what it wrote before it went
      EXPECT_EQ("", serial.read(1 << 16, 500ms)) << launcher.output();
    }
    ASSERT_TRUE(launcher.waitForOutput(kLogPrefix + "Restarting the chain in 200 ms", 10s)) << launcher.output();
    EXPECT_TRUE(framesWithin(std::chrono::duration_cast<std::chrono::milliseconds>(killed + 15s - Clock::now())))
        << launcher.output();
    expectRemoval(launcher.output(), fault.left);
    stopAndExpectNothingLeft(launcher, fault.stop);
  }
}

}  // namespace
}  // namespace launcher_itest
