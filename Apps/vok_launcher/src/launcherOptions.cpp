#include "launcherOptions.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace {

// A numeric option, and the least value that still serves its purpose.
struct NumericOption {
  unsigned LauncherOptions::*field;
  unsigned minimum;
  const char* belowMinimum;  // why a smaller value is refused
};

unsigned parseMilliseconds(const std::string& option, const char* text, const NumericOption& rule) {
  char* end = nullptr;
  errno = 0;
  const unsigned long value = std::strtoul(text, &end, 10);
  if (text[0] < '0' || text[0] > '9' || *end != '\0' || errno == ERANGE || value > UINT_MAX) {
    throw std::invalid_argument("The value " + std::string(text) + " of " + option +
                                " is not a whole number of 0 or more");
  }
  if (value < rule.minimum) {
    throw std::invalid_argument("The value " + std::string(text) + " of " + option + " is below " +
                                std::to_string(rule.minimum) + ": " + rule.belowMinimum);
  }
  return static_cast<unsigned>(value);
}

std::map<std::string, NumericOption> numericOptions() {
  return {{"--restart-limit", {&LauncherOptions::restartLimit, 0, ""}},
          {"--backoff", {&LauncherOptions::backoffMs, 1, "a chain that fails at once would be restarted without a pause"}},
          {"--backoff-cap", {&LauncherOptions::backoffCapMs, 0, ""}},
          {"--grace", {&LauncherOptions::graceMs, kMinimumGraceMs,
                       "too short for a member's orderly stop (the servo's last neutral frame)"}},
          {"--pause", {&LauncherOptions::pauseMs, 0, ""}}};
}

}  // namespace

std::string launcherUsage() {
  return "Usage: vok_launcher [OPTIONS] CHAIN_FILE\n"
         "Starts the chain of CHAIN_FILE (one command line per line: the broker first, then the apps\n"
         "in start order; blank lines and # comments are skipped), restarts the whole chain when any\n"
         "member ends, and stops it in order (apps first, broker last) on SIGINT, SIGTERM or SIGHUP.\n"
         "\n"
         "  --restart-limit N  give up (exit 1) after N restarts in a row; 0: never (default 0)\n"
         "  --backoff MS       wait before a restart, doubled on each one in a row; 1 or more\n"
         "                     (default 1000)\n"
         "  --backoff-cap MS   longest wait before a restart (default 30000)\n"
         "  --grace MS         time a member has to end after SIGINT before SIGKILL; 100 or more\n"
         "                     (default 5000)\n"
         "  --pause MS         pause between starting two members (default 500)\n"
         "  --help             this text\n"
         "\n"
         "The broker gets --count with the number of apps unless its line gives -c or --count.\n"
         "Exit status: 0 after SIGINT, SIGTERM or SIGHUP, 1 when it gave up or the chain file is unusable,\n"
         "2 for a bad command line.\n";
}

LauncherOptions parseLauncherOptions(int argc, const char* const* argv) {
  LauncherOptions options;
  const auto numeric = numericOptions();
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help") {
      options.help = true;
    } else if (numeric.count(argument) != 0) {
      if (i + 1 >= argc) {
        throw std::invalid_argument("The option " + argument + " needs a value");
      }
      const NumericOption& rule = numeric.at(argument);
      options.*rule.field = parseMilliseconds(argument, argv[++i], rule);
    } else if (argument.size() > 1 && argument[0] == '-') {
      throw std::invalid_argument("Unknown option " + argument);
    } else if (!options.chainFile.empty()) {
      throw std::invalid_argument("Only one chain file can be given, not also " + argument);
    } else {
      options.chainFile = argument;
    }
  }
  if (options.chainFile.empty() && !options.help) {
    throw std::invalid_argument("No chain file given");
  }
  return options;
}
