#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "channelText.h"
#include "controllerOptions.h"
#include "feedWatch.h"
#include "neutralValues.h"

using namespace std::chrono_literals;

using namespace servo_controller;

namespace {

TEST(NeutralValuesTest, DefaultIsTheCentreFrameAndOverridesKeepTheRestCentred) {
  EXPECT_EQ(channelText(neutralRecord(defaultNeutralValues())),
            "0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0xd");
  EXPECT_EQ(channelText(neutralRecord(parseNeutralValues("0,0xf,3"))),
            "0x0,0xf,0x3,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0xd");
  for (std::string bad : {"", "16", "-1", "1,,2", "x", "8,8,8,8,8,8,8,8,8,8,8,8,8,8,8"}) {
    EXPECT_THROW(parseNeutralValues(bad), std::invalid_argument) << bad;
  }
}

TEST(ControllerOptionsTest, FailsafeIsOffUnlessGivenAndBadCommandLinesAreRefused) {
  using Action = ControllerCommand::Action;
  EXPECT_FALSE(readControllerOptions({}).options.failsafe);
  ControllerCommand on = readControllerOptions({"--failsafe", "500", "--neutral", "1,2"});
  ASSERT_EQ(on.action, Action::Run);
  EXPECT_EQ(on.options.failsafe, 500ms);
  EXPECT_EQ(on.options.neutral[1], 2);
  EXPECT_EQ(readControllerOptions({"--help"}).action, Action::Help);
  for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
           {"--failsafe"}, {"--failsafe", "0"}, {"--failsafe", "5x"}, {"--neutral", "99"}, {"-x"}}) {
    ControllerCommand refused = readControllerOptions(bad);
    EXPECT_EQ(refused.action, Action::Refuse) << bad[0];
    EXPECT_NE(refused.message.find("usage: servo_controller"), std::string::npos);
  }
}

TEST(FeedWatchTest, StandingIndexIsLostAfterTheLimitAndAMoveBringsItBackOnce) {
  using Change = FeedWatch::Change;
  const FeedWatch::Clock::time_point t0{};
  FeedWatch watch(500ms, t0);
  // An empty ring is not watched; the first record starts the clock.
  EXPECT_EQ(watch.observe(std::nullopt, t0 + 100ms), Change::None);
  EXPECT_EQ(watch.observe(std::nullopt, t0 + 700ms), Change::None);
  EXPECT_EQ(watch.observe(7, t0 + 800ms), Change::None);
  EXPECT_EQ(watch.deadline(), t0 + 1300ms);
  EXPECT_EQ(watch.observe(8, t0 + 1000ms), Change::None);
  EXPECT_EQ(watch.deadline(), t0 + 1500ms);
  EXPECT_EQ(watch.observe(8, t0 + 1499ms), Change::None);
  EXPECT_EQ(watch.observe(8, t0 + 1500ms), Change::Lost);
  EXPECT_EQ(watch.observe(8, t0 + 2s), Change::None);
  EXPECT_TRUE(watch.lost());
  EXPECT_EQ(watch.observe(9, t0 + 3s), Change::Back);
  EXPECT_EQ(watch.observe(10, t0 + 3100ms), Change::None);
  EXPECT_FALSE(watch.lost());
  // A ring that already holds a record is watched from the start.
  FeedWatch stale(500ms, t0);
  EXPECT_EQ(stale.observe(4, t0 + 100ms), Change::None);
  EXPECT_EQ(stale.observe(4, t0 + 500ms), Change::Lost);
}

}  // namespace
