#pragma once

// The remote-control chain under vok_launcher, for the tests that kill one
// of its members: the chain's names and frames, the launcher's log read for
// pids, and the checks that end every row.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ServoLineTest.h"
#include "vok_itest.h"

namespace launcher_itest {

using Clock = std::chrono::steady_clock;

inline const std::string kShmName = "/Remote_open_control_kit_enabled_target_(Zentor)Shm";
inline const std::string kCameraShmName = "/ZentorMotion(ZM)Shm";
inline const std::string kNeutral = "88888888888888D";
// The operator's values as the feed publishes them: channels 0..2 set, the rest neutral.
inline const std::string kOperatorValues = "1,11,15";
inline const std::string kOperatorFrame = "1BF88888888888D";
inline const std::string kLogPrefix = "Log: (vok_launcher/src/main): ";
constexpr size_t kFrameSize = 15;

// One member's line of a chain file: each word quoted.
std::string chainLine(const std::vector<std::string>& words);

// The pids that the launcher reports for member (1: broker, 2: feed, 3: servo,
// 4: camera, 5: relay).
std::vector<pid_t> pidsOf(const std::string& output, unsigned member);

// vok_launcher on a chain file with short back-offs. A row that ends early
// stops it with SIGTERM, so that its members (in process groups of their
// own) go with it rather than outlive the test.
class ChainLauncher : public vok_itest::StartedProcess {
 public:
  explicit ChainLauncher(const std::string& chainFile);
  ~ChainLauncher() override;
};

class LauncherFaults : public vok_itest::ServoLineTest {
 protected:
  // Skips also under an emulator; makes this process the reaper of
  // whatever the launcher leaves.
  void SetUp() override;
  void TearDown() override;

  // Two whole frames within timeout, read after what is already on the line.
  testing::AssertionResult framesWithin(std::chrono::milliseconds timeout);
  // left: the removal the launcher logs; "" when it removes nothing, none
  // when either may happen.
  static void expectRemoval(const std::string& output, const std::optional<std::string>& left);
  // Stops the launcher with stop (SIGHUP: a closed terminal) and expects it
  // to end in order, leaving no member, socket file or ring behind.
  static void stopAndExpectNothingLeft(ChainLauncher& launcher, int stop);

  vok_itest::ShmLeftovers leftovers{{kShmName, kCameraShmName}};
  std::string chainFile = "/tmp/vok_launcher_itest_" + std::to_string(::getpid()) + ".chain";
};

}  // namespace launcher_itest
