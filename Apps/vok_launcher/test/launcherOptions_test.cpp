#include "launcherOptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

LauncherOptions parse(std::vector<std::string> arguments) { return parseLauncherOptions(arguments).options; }

// The reason of a refusal: its first line without the program's name.
std::string failure(std::vector<std::string> arguments) {
  const LauncherCommand command = parseLauncherOptions(arguments);
  if (command.action != VOK::CommandAction::Refuse) {
    return "(nothing refused)";
  }
  const std::string prefix = "vok_launcher: ";
  return command.message.substr(prefix.size(), command.message.find('\n') - prefix.size());
}

TEST(LauncherOptions, DefaultsAndEveryOption) {
  LauncherOptions defaults = parse({"/etc/vok/chain"});
  EXPECT_EQ(defaults.chainFile, "/etc/vok/chain");
  EXPECT_EQ(defaults.restartLimit, 0u);
  EXPECT_EQ(defaults.backoffMs, 1000u);
  EXPECT_EQ(defaults.backoffCapMs, 30000u);
  EXPECT_EQ(defaults.graceMs, 5000u);
  EXPECT_EQ(defaults.pauseMs, 500u);

  LauncherOptions given = parse(
      {"--restart-limit", "3", "--backoff", "200", "chain", "--backoff-cap", "800", "--grace", "100", "--pause", "50"});
  EXPECT_EQ(given.chainFile, "chain");
  EXPECT_EQ(given.restartLimit, 3u);
  EXPECT_EQ(given.backoffMs, 200u);
  EXPECT_EQ(given.backoffCapMs, 800u);
  EXPECT_EQ(given.graceMs, 100u);
  EXPECT_EQ(given.pauseMs, 50u);
  EXPECT_EQ(parseLauncherOptions({"--help"}).action, VOK::CommandAction::Help);
}

TEST(LauncherOptions, BadCommandLinesAreRefusedWithTheirReason) {
  struct Row {
    std::vector<std::string> arguments;
    std::string message;
  };
  const std::vector<Row> rows = {
      {{}, "No chain file given"},
      {{"--grace", "500"}, "No chain file given"},
      {{"--pause"}, "The option --pause needs a value"},
      {{"--grace", "-1", "chain"}, "The value -1 of --grace is not a whole number of 0 or more"},
      {{"--backoff", "1s", "chain"}, "The value 1s of --backoff is not a whole number of 0 or more"},
      {{"--backoff", "99999999999", "chain"}, "The value 99999999999 of --backoff is not a whole number of 0 or more"},
      {{"--grace", "99", "chain"},
       "The value 99 of --grace is below 100: too short for a member's orderly stop (the servo's last neutral frame)"},
      {{"--backoff", "0", "chain"},
       "The value 0 of --backoff is below 1: a chain that fails at once would be restarted without a pause"},
      {{"--restarts", "3", "chain"}, "Unknown option --restarts"},
      {{"a", "b"}, "Only one chain file can be given, not also b"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(failure(row.arguments), row.message);
  }
}

}  // namespace
