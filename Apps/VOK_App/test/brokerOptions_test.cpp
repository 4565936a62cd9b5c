#include "brokerOptions.h"
#include "optionLookup.h"

#include <gtest/gtest.h>

#include <vector>

using namespace broker;

namespace {

struct Outcome {
  bool accepted;
  BrokerOptions options;
  std::string logged;
};

Outcome read(std::vector<const char*> args) {
  args.insert(args.begin(), "VOK_App");
  Outcome outcome{false, {}, {}};
  ::testing::internal::CaptureStdout();
  outcome.accepted = readBrokerOptions(static_cast<int>(args.size()), args.data(), outcome.options);
  outcome.logged = ::testing::internal::GetCapturedStdout();
  return outcome;
}

const std::string kTermination = "ERR: (VOK_App/src/main): Terminating VOK because invocation with wrong parameters\n";

TEST(BrokerOptions, DefaultsWithoutArguments) {
  Outcome outcome = read({});
  ASSERT_TRUE(outcome.accepted);
  EXPECT_EQ(10u, outcome.options.lifetime);
  EXPECT_EQ(0u, outcome.options.test);
  EXPECT_EQ(2u, outcome.options.count);
  EXPECT_FALSE(outcome.options.open);
  EXPECT_EQ("", outcome.logged);
}

TEST(BrokerOptions, LongFormWinsOverShortFormAndZeroCountIsKept) {
  std::vector<const char*> args{"VOK_App", "-l", "5", "--open", "--lifetime", "7", "-c", "0"};
  BrokerOptions screened;
  // The flag takes no value: the screen before the fork reads "--lifetime" as the next option.
  EXPECT_EQ(VOK::screenArguments(brokerOptionTable(screened), static_cast<int>(args.size()), args.data()).action,
            VOK::CommandAction::Run);
  Outcome outcome = read({args.begin() + 1, args.end()});
  ASSERT_TRUE(outcome.accepted);
  EXPECT_TRUE(outcome.options.open);
  EXPECT_EQ(7u, outcome.options.lifetime);
  EXPECT_EQ(0u, outcome.options.count);
}

TEST(BrokerOptions, ShortFormWithBadValueIsNotReadWhenLongFormIsPresent) {
  EXPECT_TRUE(read({"-c", "abc", "--count", "3"}).accepted);
}

TEST(BrokerOptions, ZeroLifetimeIsRefusedWithBothLines) {
  for (const char* form : {"-l", "--lifetime"}) {
    Outcome outcome = read({form, "0"});
    EXPECT_FALSE(outcome.accepted);
    EXPECT_EQ("ERR: (VOK_App/src/main): 0 is not an allowed parameter for -l / --lifetime.\n" + kTermination,
              outcome.logged);
  }
}

TEST(BrokerOptions, NegativeValueIsLoggedOnceByTheBroker) {
  Outcome outcome = read({"--lifetime", "-5"});
  EXPECT_FALSE(outcome.accepted);
  EXPECT_EQ("ERR: (VOK_App/src/main): Parameter value (-5) for '--lifetime'does not represent a valid positive "
            "numeric value.\n" + kTermination,
            outcome.logged);
}

TEST(BrokerOptions, ValueWithoutDigitsIsLoggedByParserAndBroker) {
  Outcome outcome = read({"--count", "abc"});
  EXPECT_FALSE(outcome.accepted);
  const std::string text = "Parameter value (abc) for '--count'does not represent a valid positive numeric value.\n";
  EXPECT_EQ("ERR: (CommandParser::parseArguments()): " + text + "ERR: (VOK_App/src/main): " + text + kTermination,
            outcome.logged);
}

}  // namespace
