#pragma once

#include <optional>
#include <string>
#include <vector>

#include "optionTable.h"

namespace VOK {

// What a program does after reading its command line.
enum class CommandAction { Run, Help, Refuse };

// The outcome of reading a command line.
struct CommandOutcome {
  using Action = CommandAction;
  Action action = Action::Run;
  std::string message;  // Help: the usage text; Refuse: "PROGRAM: REASON\n" and
                        // the usage line
  std::string reason;   // Refuse: the reason alone, for a program that logs it
};

// The outcome with the options that were read.
template <class Options>
struct ParsedCommand : CommandOutcome {
  Options options;
};

// Reads arguments (those after the program name) into the targets of table.
// Each option but a flag takes the next argument as its value and its last
// occurrence wins; numbers are whole decimal numbers within the option's range; "--help"
// or "-h" asks for the usage. Returns Run, Help with usageText(table), or
// Refuse (worded by table.wording) for an unknown option, a missing or bad
// value or the reason a text target threw.
CommandOutcome readCommandLine(const OptionTable& table, const std::vector<std::string>& arguments);

// The Refuse outcome for reason: "PROGRAM: REASON\n" and the usage line.
CommandOutcome refusal(const OptionTable& table, const std::string& reason);

// The status of a program that does not run: prints the usage of Help on
// standard output (0) or the refusal on standard error (2); nothing for Run.
std::optional<int> answerInstead(const CommandOutcome& outcome);

}  // namespace VOK
