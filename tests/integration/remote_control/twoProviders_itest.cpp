// servo_controller facing two provider apps of the name it requests.
#include <signal.h>

#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "vok_itest.h"

using namespace std::chrono_literals;
using testing::HasSubstr;
using testing::Not;

namespace {

const std::string kRingA = "/Remote_open_control_kit_enabled_target_(Zentor)ShmA";
const std::string kRingB = "/Remote_open_control_kit_enabled_target_(Zentor)ShmB";

// With /dev/serial0 absent, any attempt to open the servo port would show
// as "Unable to open /dev/serial0" and "SERVO not open".
TEST(TwoProvidersTest, ServoControllerEndsWithStatusOneWithoutOpeningTheSerialPort) {
  if (vok_itest::fileExists("/dev/serial0")) {
    GTEST_SKIP() << "needs /dev/serial0 absent";
  }
  vok_itest::ShmLeftovers leftovers{{kRingA, kRingB}};
  vok_itest::BrokerProcess broker(VOK_APP_PATH, {"-c", "3"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  vok_itest::StartedProcess first({RING_PROVIDER_PATH, kRingA});
  vok_itest::StartedProcess second({RING_PROVIDER_PATH, kRingB});
  ASSERT_TRUE(first.waitForOutput("ring ", 20s)) << first.output() << first.errors();
  ASSERT_TRUE(second.waitForOutput("ring ", 20s)) << second.output() << second.errors();

  vok_itest::BrokerProcess servo(SERVO_CONTROLLER_PATH, {});
  EXPECT_EQ(servo.waitForExit(60s), std::optional<int>(1)) << servo.output() << servo.errors();
  EXPECT_THAT(servo.output(),
              HasSubstr("ERR: (Remote_open_control_kit_enabled_target_(Zentor)C::main()): "));
  EXPECT_THAT(servo.output(), Not(HasSubstr("SERVO not open")));
  EXPECT_THAT(servo.errors(), Not(HasSubstr("Unable to open /dev/serial0")));
  EXPECT_THAT(servo.errors(), Not(HasSubstr("RECEIVED")));

  first.sendSignal(SIGINT);
  second.sendSignal(SIGINT);
  EXPECT_EQ(first.waitForExit(10s), std::optional<int>(0));
  EXPECT_EQ(second.waitForExit(10s), std::optional<int>(0));
}

}  // namespace
