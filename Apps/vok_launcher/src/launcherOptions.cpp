#include "launcherOptions.h"

#include <climits>

#include "numberText.h"

namespace {

// Why a value below an option's least one is refused.
std::string whyAtLeast(const std::string& option) {
  if (option == "--grace") {
    return "too short for a member's orderly stop (the servo's last neutral frame)";
  }
  return "a chain that fails at once would be restarted without a pause";
}

// The launcher's own sentences for a refused command line.
VOK::RefusalWording launcherWording() {
  return {[](const std::string& argument) { return "Unknown option " + argument; },
          [](const std::string& option) { return "The option " + option + " needs a value"; },
          [](const VOK::Option& option, const std::string& typed, const std::string& text) {
            const std::optional<unsigned long long> number = VOK::numberFromText(text, VOK::NumberSyntax::Decimal);
            if (number && *number < option.value.low) {
              return "The value " + text + " of " + typed + " is below " + std::to_string(option.value.low) + ": " +
                     whyAtLeast(option.name);
            }
            return "The value " + text + " of " + typed + " is not a whole number of 0 or more";
          }};
}

VOK::OptionTable launcherTable(LauncherOptions& options, std::vector<std::string>& chainFiles) {
  VOK::OptionTable table{
      "vok_launcher",
      "[OPTIONS] CHAIN_FILE",
      "Starts the chain of CHAIN_FILE (one command line per line: the broker first, then the apps\n"
      "in start order; blank lines and # comments are skipped), restarts the whole chain when any\n"
      "member ends, and stops it in order (apps first, broker last) on SIGINT, SIGTERM or SIGHUP.\n\n",
      {{"--restart-limit", "", "N", "give up (exit 1) after N restarts in a row; 0: never (default 0)",
        VOK::numberInto(options.restartLimit, 0, UINT_MAX)},
       {"--backoff", "", "MS", "wait before a restart, doubled on each one in a row; 1 or more (default 1000)",
        VOK::numberInto(options.backoffMs, 1, UINT_MAX)},
       {"--backoff-cap", "", "MS", "longest wait before a restart (default 30000)",
        VOK::numberInto(options.backoffCapMs, 0, UINT_MAX)},
       {"--grace", "", "MS",
        "time a member has to end after SIGINT before SIGKILL; " + std::to_string(kMinimumGraceMs) +
            " or more (default 5000)",
        VOK::numberInto(options.graceMs, kMinimumGraceMs, UINT_MAX)},
       {"--pause", "", "MS", "pause between starting two members (default 500)",
        VOK::numberInto(options.pauseMs, 0, UINT_MAX)}},
      "\nThe broker gets --count with the number of apps unless its line gives -c or --count.\n"
      "Exit status: 0 after SIGINT, SIGTERM or SIGHUP, 1 when it gave up or the chain file is unusable,\n"
      "2 for a bad command line.\n",
      [&chainFiles](const std::string& file) { chainFiles.push_back(file); }};
  table.wording = launcherWording();
  return table;
}

}  // namespace

LauncherCommand parseLauncherOptions(const std::vector<std::string>& arguments) {
  LauncherCommand command;
  std::vector<std::string> chainFiles;
  const VOK::OptionTable table = launcherTable(command.options, chainFiles);
  static_cast<VOK::CommandOutcome&>(command) = VOK::readCommandLine(table, arguments);
  if (command.action != VOK::CommandAction::Run) {
    return command;
  }
  if (chainFiles.empty()) {
    static_cast<VOK::CommandOutcome&>(command) = VOK::refusal(table, "No chain file given");
  } else if (chainFiles.size() > 1) {
    static_cast<VOK::CommandOutcome&>(command) =
        VOK::refusal(table, "Only one chain file can be given, not also " + chainFiles[1]);
  } else {
    command.options.chainFile = chainFiles[0];
  }
  return command;
}
