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

// Zero and negative values are the broker's to refuse; a value without
// digits is refused by the parser first.
TEST(BrokerOptions, BadValuesAreRefusedWithTheirLinesAndTheTermination) {
  const std::string negative = "Parameter value (-5) for '--lifetime'does not represent a valid positive numeric value.\n";
  const std::string noDigits = "Parameter value (abc) for '--count'does not represent a valid positive numeric value.\n";
  const std::string zero = "0 is not an allowed parameter for -l / --lifetime.\n";
  const std::pair<std::vector<const char*>, std::string> rows[] = {
      {{"-l", "0"}, "ERR: (VOK_App/src/main): " + zero},
      {{"--lifetime", "0"}, "ERR: (VOK_App/src/main): " + zero},
      {{"--lifetime", "-5"}, "ERR: (VOK_App/src/main): " + negative},
      {{"--count", "abc"}, "ERR: (CommandParser::parseArguments()): " + noDigits + "ERR: (VOK_App/src/main): " + noDigits},
  };
  for (const auto& [args, lines] : rows) {
    Outcome outcome = read(args);
    EXPECT_FALSE(outcome.accepted) << args[0];
    EXPECT_EQ(lines + kTermination, outcome.logged);
  }
}

}  // namespace
