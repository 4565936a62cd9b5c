#include "CommandParser.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

struct Parsed {
  bool found;
  unsigned long long value;
};

Parsed parse(const std::string& name, std::vector<const char*> args) {
  args.insert(args.begin(), "VOK_App");
  Parsed parsed{false, 99};
  parsed.found = VOK::CommandParser().parseArguments(name, static_cast<int>(args.size()), args.data(), parsed.value);
  return parsed;
}

std::string refusalOf(const std::string& name, std::vector<const char*> args) {
  try {
    parse(name, std::move(args));
  } catch (const std::invalid_argument& e) {
    return e.what();
  }
  return "<nothing thrown>";
}

TEST(CommandParser, AbsentOptionIsNotFoundAndResultIsZero) {
  EXPECT_FALSE(parse("--count", {}).found);
  EXPECT_EQ(0u, parse("--count", {}).value);
  EXPECT_FALSE(parse("--count", {"-c", "3"}).found);
}

TEST(CommandParser, ValueIsConvertedWithAutomaticBaseAndTrailingRestIgnored) {
  EXPECT_EQ(16u, parse("-l", {"-l", "0x10"}).value);
  EXPECT_EQ(3u, parse("-c", {"-c", "3x"}).value);
  EXPECT_EQ(8u, parse("-c", {"-c", "010"}).value);
  EXPECT_EQ(7u, parse("-c", {"-c", "  7"}).value);
  Parsed zero = parse("-l", {"-l", "0"});
  EXPECT_TRUE(zero.found);
  EXPECT_EQ(0u, zero.value);
}

TEST(CommandParser, LastOccurrenceWins) {
  EXPECT_EQ(4u, parse("--count", {"--count", "1", "--count", "4"}).value);
}

TEST(CommandParser, OptionAsLastArgumentOrJoinedFormCountsAsAbsent) {
  EXPECT_FALSE(parse("--count", {"--count"}).found);
  EXPECT_FALSE(parse("--count", {"--count=3"}).found);
  Parsed earlier = parse("--count", {"--count", "5", "--count"});
  EXPECT_TRUE(earlier.found);
  EXPECT_EQ(5u, earlier.value);
}

TEST(CommandParser, NegativeValuesAreRefusedWithoutLogLine) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ("Parameter value (-5) for '--lifetime'does not represent a valid positive numeric value.",
            refusalOf("--lifetime", {"--lifetime", "-5"}));
  EXPECT_EQ("Parameter value ( -5) for '-l'does not represent a valid positive numeric value.",
            refusalOf("-l", {"-l", " -5"}));
  EXPECT_EQ("", ::testing::internal::GetCapturedStdout());
}

TEST(CommandParser, ValueWithoutDigitsIsLoggedAndRefused) {
  ::testing::internal::CaptureStdout();
  const std::string text = "Parameter value (abc) for '--count'does not represent a valid positive numeric value.";
  EXPECT_EQ(text, refusalOf("--count", {"--count", "abc"}));
  EXPECT_EQ("ERR: (CommandParser::parseArguments()): " + text + "\n", ::testing::internal::GetCapturedStdout());
}

TEST(CommandParser, SixtyFourBitValuesAreAcceptedOnEveryWordSize) {
  EXPECT_EQ(4294967296u, parse("-l", {"-l", "4294967296"}).value);
  EXPECT_EQ(18446744073709551615u, parse("-l", {"-l", "0xffffffffffffffff"}).value);
}

TEST(CommandParser, OutOfRangeValueIsRefused) {
  ::testing::internal::CaptureStdout();
  EXPECT_NE("<nothing thrown>", refusalOf("-c", {"-c", "0x1ffffffffffffffffffff"}));
  ::testing::internal::GetCapturedStdout();
}

TEST(CommandParser, BadArgumentsAreRefusedWithTheirTexts) {
  VOK::CommandParser parser;
  unsigned long long value = 0;
  const char* args[] = {"VOK_App", "-c", nullptr};
  auto refusal = [&](const std::string& name, int argc, const char** argv) {
    try {
      parser.parseArguments(name, argc, argv, value);
    } catch (const std::invalid_argument& e) {
      return std::string(e.what());
    }
    return std::string("<nothing thrown>");
  };
  EXPECT_EQ("Parameter 'parameterName' must not be empty.", refusal("", 2, args));
  EXPECT_EQ("Parameter 'argc' must be >=1.", refusal("-c", 0, args));
  EXPECT_EQ("Parameter 'argv' must not be nullptr.", refusal("-c", 2, nullptr));
  EXPECT_EQ("Parameter 'argv[2]' must not be nullptr.", refusal("-c", 3, args));
  const char* holes[] = {"VOK_App", nullptr, "-c", "1"};
  EXPECT_EQ("Parameter 'argv[1]' must not be nullptr.", refusal("-c", 4, holes));
}

}  // namespace
