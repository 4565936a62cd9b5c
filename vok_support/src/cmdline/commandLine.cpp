#include "commandLine.h"

#include <cstdio>
#include <stdexcept>

#include "numberText.h"

namespace VOK {

namespace {

// Stores text as option's value; throws std::invalid_argument with the reason.
void store(const OptionTable& table, const Option& option, const std::string& typed, const std::string& text) {
  if (option.value.setText) {
    option.value.setText(text);
    return;
  }
  const std::optional<unsigned long long> number = numberFromText(text, NumberSyntax::Decimal);
  if (!number || *number < option.value.low || *number > option.value.high) {
    throw std::invalid_argument(table.wording.badNumber(option, typed, text));
  }
  option.value.setNumber(*number);
}

bool isOptionLike(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

}  // namespace

CommandOutcome refusal(const OptionTable& table, const std::string& reason) {
  return {CommandAction::Refuse, table.program + ": " + reason + "\n" + usageLine(table), reason};
}

CommandOutcome readCommandLine(const OptionTable& table, const std::vector<std::string>& arguments) {
  try {
    for (size_t i = 0; i < arguments.size(); ++i) {
      const std::string& argument = arguments[i];
      if (argument == "--help" || argument == "-h") {
        return {CommandAction::Help, usageText(table), {}};
      }
      const Option* option = findOption(table, argument);
      if (option == nullptr && table.positional && !isOptionLike(argument)) {
        table.positional(argument);
        continue;
      }
      if (option == nullptr) {
        throw std::invalid_argument(table.wording.unknown(argument));
      }
      if (option->value.setFlag) {
        option->value.setFlag();
        continue;
      }
      if (i + 1 == arguments.size()) {
        throw std::invalid_argument(table.wording.missingValue(argument));
      }
      store(table, *option, argument, arguments[++i]);
    }
  } catch (const std::invalid_argument& e) {
    return refusal(table, e.what());
  }
  return {};
}

std::optional<int> answerInstead(const CommandOutcome& outcome) {
  switch (outcome.action) {
    case CommandAction::Help:
      std::fputs(outcome.message.c_str(), stdout);
      return 0;
    case CommandAction::Refuse:
      std::fputs(outcome.message.c_str(), stderr);
      return 2;
    case CommandAction::Run:
      break;
  }
  return std::nullopt;
}

}  // namespace VOK
