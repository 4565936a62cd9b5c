#include "CommandParser.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

std::vector<const char*> commandLine(std::vector<const char*> args) {
  args.insert(args.begin(), "VOK_App");
  return args;
}

std::string refusalOf(const std::string& name, int argc, const char** argv) {
  unsigned long long value = 0;
  try {
    VOK::CommandParser().parseArguments(name, argc, argv, value);
  } catch (const std::invalid_argument& e) {
    return e.what();
  }
  return "<nothing thrown>";
}

TEST(CommandParser, FindsTheLastValueOfTheOptionInCNotation) {
  const struct {
    const char* name;
    std::vector<const char*> args;
    bool found;
    unsigned long long value;
  } cases[] = {
      {"--count", {}, false, 0},
      {"--count", {"-c", "3"}, false, 0},
      {"-l", {"-l", "0x10"}, true, 16},
      {"-c", {"-c", "3x"}, true, 3},  // the rest after the digits is ignored
      {"-c", {"-c", "010"}, true, 8},
      {"-c", {"-c", "  7"}, true, 7},
      {"-l", {"-l", "0"}, true, 0},
      {"--count", {"--count", "1", "--count", "4"}, true, 4},
      // As the last argument or in the joined form the option counts as absent.
      {"--count", {"--count"}, false, 0},
      {"--count", {"--count=3"}, false, 0},
      {"--count", {"--count", "5", "--count"}, true, 5},
      // 64 bits on every word size.
      {"-l", {"-l", "4294967296"}, true, 4294967296u},
      {"-l", {"-l", "0xffffffffffffffff"}, true, 18446744073709551615u},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = commandLine(c.args);
    SCOPED_TRACE(testing::PrintToString(argv));
    unsigned long long value = 99;
    EXPECT_EQ(c.found, VOK::CommandParser().parseArguments(c.name, static_cast<int>(argv.size()), argv.data(), value));
    EXPECT_EQ(c.value, value);
  }
}

TEST(CommandParser, RefusesValuesThatAreNoPositiveNumberLoggingAllButNegativeOnes) {
  const struct {
    const char* name;
    const char* value;
    bool logged;
  } cases[] = {
      {"--lifetime", "-5", false},
      {"-l", " -5", false},
      {"--count", "abc", true},
      {"-c", "0x1ffffffffffffffffffff", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    std::vector<const char*> argv = commandLine({c.name, c.value});
    const std::string text = std::string("Parameter value (") + c.value + ") for '" + c.name +
                             "'does not represent a valid positive numeric value.";
    testing::internal::CaptureStdout();
    EXPECT_EQ(text, refusalOf(c.name, static_cast<int>(argv.size()), argv.data()));
    EXPECT_EQ(c.logged ? "ERR: (CommandParser::parseArguments()): " + text + "\n" : "",
              testing::internal::GetCapturedStdout());
  }
}

TEST(CommandParser, BadArgumentsAreRefusedWithTheirTexts) {
  const char* args[] = {"VOK_App", "-c", nullptr};
  EXPECT_EQ("Parameter 'parameterName' must not be empty.", refusalOf("", 2, args));
  EXPECT_EQ("Parameter 'argc' must be >=1.", refusalOf("-c", 0, args));
  EXPECT_EQ("Parameter 'argv' must not be nullptr.", refusalOf("-c", 2, nullptr));
  EXPECT_EQ("Parameter 'argv[2]' must not be nullptr.", refusalOf("-c", 3, args));
  const char* holes[] = {"VOK_App", nullptr, "-c", "1"};
  EXPECT_EQ("Parameter 'argv[1]' must not be nullptr.", refusalOf("-c", 4, holes));
}

}  // namespace
