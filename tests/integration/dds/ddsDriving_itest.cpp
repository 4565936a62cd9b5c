// Who drives the servo line through the DDS bridge, with real parts: VOK_App,
// vok_dds_bridge subscribed to the command topic, DDS stations of the test's
// own (dds_probe, on Cyclone's C API) and servo_controller on a
// pseudo-terminal at /dev/serial0. Cyclone runs on loopback only.
#include <signal.h>

#include <set>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "DdsItest.h"
#include "SecurityFolder.h"
#include "SerialLine.h"
#include "ServoLine.h"

namespace {

using namespace std::chrono_literals;
using namespace vok_itest;
using Clock = std::chrono::steady_clock;

size_t occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// Two stations: the first drives, the second's values reach the line only
// once the first has been silent for the failsafe time.
TEST_F(DdsBridgeTest, OneStationDrivesTheServoLineAtATimeAndTheNeutralFrameFollowsWithinTheFailsafeTime) {
  SerialLine serial("/dev/serial0");
  if (!serial.linked()) {
    GTEST_SKIP() << "/dev/serial0 exists; this test never replaces it";
  }
  // Without DDS Security commands are taken only when the operator says so.
  StartedProcess refused({DDS_BRIDGE_PATH, "--subscribe", "command", "--domain", kDomain});
  EXPECT_EQ(refused.waitForExit(10s), std::optional<int>(2)) << everything(refused);
  EXPECT_THAT(refused.output(), testing::HasSubstr("Not taking remote commands: the Cyclone DDS configuration has no "
                                                   "DDS Security"));
  ServoLine line(serial);
  ShmLeftovers leftovers({kCommandRing});
  BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  StartedProcess bridge({DDS_BRIDGE_PATH, "--subscribe", "command", "--domain", kDomain, "--failsafe",
                                    "500", "--allow-unauthenticated"});
  ASSERT_TRUE(eventually([] { return fileExists("/dev/shm" + kCommandRing); }, 15s)) << everything(bridge);
  EXPECT_THAT(bridge.output(), testing::HasSubstr("Warning: remote commands from unauthenticated writers"));
  BrokerProcess servo(SERVO_CONTROLLER_PATH, {});
  ASSERT_TRUE(line.shows(kNeutralFrame, Clock::now() + 15s)) << "before any command" << servo.output();

  StartedProcess first({DDS_PROBE_PATH, kDomain, "send", kDrive, "4"});
  ASSERT_TRUE(line.shows(kDriveFrame, Clock::now() + 10s)) << everything(first) << everything(bridge);
  // The second outlasts the first by two seconds at least.
  StartedProcess second({DDS_PROBE_PATH, kDomain, "send", kSteer, "6"});
  while (!first.hasExited()) {
    ASSERT_FALSE(line.shows(kSteerFrame, Clock::now() + 50ms))
        << "the second station drove while the first did" << everything(bridge);
  }
  EXPECT_EQ(first.waitForExit(1s), std::optional<int>(0)) << everything(first);
  EXPECT_TRUE(line.shows(kSteerFrame, Clock::now() + 2s)) << "the second drives once the first is gone";
  ASSERT_EQ(second.waitForExit(10s), std::optional<int>(0)) << everything(second);
  const auto stopped = Clock::now();
  // The bridge's failsafe, then at most one pass of the controller.
  EXPECT_TRUE(line.shows(kNeutralFrame, stopped + 500ms + 300ms)) << testing::PrintToString(line.frames);
  EXPECT_EQ(line.frames, (std::set<std::string>{kNeutralFrame, kDriveFrame, kSteerFrame}));
  EXPECT_EQ(occurrences(bridge.output(), "Refused the commands of writer "), 1u) << bridge.output();
  EXPECT_THAT(bridge.output(), testing::HasSubstr("Remote commands lost: none for 500 ms, writing the neutral values"));

  EXPECT_EQ(servo.interrupt(5s), std::optional<int>(0));
  EXPECT_TRUE(exitsWith(bridge, SIGTERM, 0)) << everything(bridge);
  EXPECT_FALSE(fileExists("/dev/shm" + kCommandRing)) << "the bridge removes its ring";
  EXPECT_EQ(broker.interrupt(5s), std::optional<int>(0));
}

// With DDS Security in the configuration the bridge needs no
// --allow-unauthenticated, and a station without an identity of the CA never
// drives, not even while no other one does.
TEST_F(DdsBridgeTest, WithDdsSecurityOnlyAnAuthenticatedStationDrives) {
  SerialLine serial("/dev/serial0");
  if (!serial.linked()) {
    GTEST_SKIP() << "/dev/serial0 exists; this test never replaces it";
  }
  SecurityFolder security;
  ASSERT_TRUE(security.made) << security.log;
  ServoLine line(serial);
  ShmLeftovers leftovers({kCommandRing});
  BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  StartedProcess bridge(on(security.as("board"), {DDS_BRIDGE_PATH, "--subscribe", "command", "--domain", kDomain}));
  ASSERT_TRUE(eventually([] { return fileExists("/dev/shm" + kCommandRing); }, 15s)) << everything(bridge);
  EXPECT_THAT(bridge.output(), testing::HasSubstr("Remote commands only from authenticated writers (DDS Security)"));
  BrokerProcess servo(SERVO_CONTROLLER_PATH, {});
  ASSERT_TRUE(line.shows(kNeutralFrame, Clock::now() + 15s)) << "before any command" << servo.output();

  StartedProcess intruder({DDS_PROBE_PATH, kDomain, "send", kSteer, "3"});
  while (!intruder.hasExited()) {
    ASSERT_FALSE(line.shows(kSteerFrame, Clock::now() + 50ms)) << "an unauthenticated station drove";
  }
  StartedProcess station(on(security.as("station"), {DDS_PROBE_PATH, kDomain, "send", kDrive, "5"}));
  EXPECT_TRUE(line.shows(kDriveFrame, Clock::now() + 15s)) << everything(station) << everything(bridge);
  EXPECT_EQ(station.waitForExit(15s), std::optional<int>(0)) << everything(station);
  EXPECT_EQ(line.frames.count(kSteerFrame), 0u);

  EXPECT_EQ(servo.interrupt(5s), std::optional<int>(0));
  EXPECT_TRUE(exitsWith(bridge, SIGTERM, 0)) << everything(bridge);
  EXPECT_EQ(broker.interrupt(5s), std::optional<int>(0));
}

}  // namespace
