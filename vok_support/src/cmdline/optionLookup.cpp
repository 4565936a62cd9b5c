#include "optionLookup.h"

#include <stdexcept>

#include "CommandParser.h"

namespace VOK {

namespace {

bool given(const std::string& form, int argc, const char** argv) {
  for (int i = 1; i < argc && !form.empty(); ++i) {
    if (argv[i] != nullptr && form == argv[i]) {
      return true;
    }
  }
  return false;
}

}  // namespace

void lookUpOptions(const OptionTable& table, int argc, const char** argv) {
  const CommandParser parser;
  for (const Option& option : table.options) {
    if (option.value.setFlag) {
      if (given(option.name, argc, argv) || given(option.shortName, argc, argv)) {
        option.value.setFlag();
      }
      continue;
    }
    unsigned long long number = 0;
    std::string typed = option.name;
    if (!parser.parseArguments(typed, argc, argv, number)) {
      typed = option.shortName;
      if (typed.empty() || !parser.parseArguments(typed, argc, argv, number)) {
        continue;
      }
    }
    if (number < option.value.low || number > option.value.high) {
      throw std::invalid_argument(table.wording.badNumber(option, typed, std::to_string(number)));
    }
    option.value.setNumber(number);
  }
}

CommandOutcome screenArguments(const OptionTable& table, int argc, const char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i] != nullptr ? argv[i] : "";
    if (argument == "--help" || argument == "-h") {
      return {CommandAction::Help, usageText(table), {}};
    }
  }
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i] != nullptr ? argv[i] : "";
    const Option* option = findOption(table, argument);
    if (option == nullptr) {
      return refusal(table, table.wording.unknown(argument));
    }
    if (!option->value.setFlag) {
      ++i;  // its value
    }
  }
  return {};
}

CommandOutcome readLookedUp(const OptionTable& table, int argc, const char** argv) {
  CommandOutcome outcome = screenArguments(table, argc, argv);
  if (outcome.action != CommandAction::Run) {
    return outcome;
  }
  try {
    lookUpOptions(table, argc, argv);
  } catch (const std::invalid_argument& e) {
    return refusal(table, e.what());
  }
  return outcome;
}

}  // namespace VOK
