#include "commandLine.h"
#include "optionLookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Settings {
  unsigned count = 7;
  std::string name;
};

VOK::OptionTable table(Settings& settings) {
  return {"prog",
          "[--count N] [--name TEXT]",
          "",
          {{"--count", "-c", "N", "how many", VOK::numberInto(settings.count, 1, 9)},
           {"--name", "", "TEXT", "what", VOK::textInto(settings.name)}}};
}

TEST(CommandLine, ReadsEveryFormAndTheLastOccurrenceWins) {
  Settings settings;
  EXPECT_EQ(VOK::readCommandLine(table(settings), {"-c", "2", "--name", "x", "--count", "3"}).action,
            VOK::CommandAction::Run);
  EXPECT_EQ(settings.count, 3u);
  EXPECT_EQ(settings.name, "x");
}

TEST(CommandLine, RefusesWithOneReasonLineAndTheUsageLine) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--bogus"}, "unknown option \"--bogus\""},
      {{"word"}, "unknown argument \"word\""},
      {{"--count"}, "--count needs a value"},
      {{"--count", "0x3"}, "--count takes a whole number from 1 to 9, not \"0x3\""},
      {{"-c", "10"}, "-c takes a whole number from 1 to 9, not \"10\""},
  };
  for (const auto& [arguments, reason] : cases) {
    Settings settings;
    const VOK::CommandOutcome outcome = VOK::readCommandLine(table(settings), arguments);
    EXPECT_EQ(outcome.action, VOK::CommandAction::Refuse);
    EXPECT_EQ(outcome.message, "prog: " + reason + "\nusage: prog [--count N] [--name TEXT]\n");
  }
}

TEST(CommandLine, HelpListsEveryOptionBothWays) {
  Settings settings;
  const char* lookedUp[] = {"prog", "--count", "3", "--help"};
  for (const VOK::CommandOutcome& outcome : {VOK::readCommandLine(table(settings), {"--count", "3", "--help"}),
                                             VOK::readLookedUp(table(settings), 4, lookedUp)}) {
    EXPECT_EQ(outcome.action, VOK::CommandAction::Help);
    EXPECT_EQ(outcome.message,
              "usage: prog [--count N] [--name TEXT]\n"
              "  -c, --count N  how many\n"
              "  --name TEXT    what\n"
              "  -h, --help     this text\n");
  }
}

TEST(CommandLine, LookedUpLineTakesCNotationAndRefusesUnknownArguments) {
  Settings settings;
  const char* numbers[] = {"prog", "-c", "3", "--count", "0x5x"};
  EXPECT_EQ(VOK::readLookedUp(table(settings), 5, numbers).action, VOK::CommandAction::Run);
  EXPECT_EQ(settings.count, 5u);
  const char* unknown[] = {"prog", "-c", "3", "--bogus"};
  EXPECT_EQ(VOK::readLookedUp(table(settings), 4, unknown).reason, "unknown option \"--bogus\"");
  const char* outOfRange[] = {"prog", "-c", "12"};
  EXPECT_EQ(VOK::readLookedUp(table(settings), 3, outOfRange).reason,
            "-c takes a whole number from 1 to 9, not \"12\"");
}

}  // namespace
