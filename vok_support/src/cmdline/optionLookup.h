#pragma once

#include "commandLine.h"
#include "optionTable.h"

namespace VOK {

// The command lines of the broker and of the stand-alone relay, read by
// looking each option up (CommandParser): the long form first, the short
// form only when it is absent, the last occurrence wins, numbers in C
// notation, an option as the very last argument counts as absent, and
// arguments that name no option are passed over.

// Looks up every option of table (numbers and flags) in argv and stores the
// values found; a flag is set when either form is an argument. Throws std::invalid_argument with CommandParser's texts, or
// with table.wording.badNumber for a value out of the option's range.
void lookUpOptions(const OptionTable& table, int argc, const char** argv);

// Help when an argument after the program name is "--help" or "-h"; Refuse
// for the first argument that is neither an option of table nor the value
// after one that takes a value; Run otherwise.
CommandOutcome screenArguments(const OptionTable& table, int argc, const char** argv);

// screenArguments, then lookUpOptions: Refuse with the reason it threw.
CommandOutcome readLookedUp(const OptionTable& table, int argc, const char** argv);

}  // namespace VOK
