#include "CommandParser.h"

#include "log_datalayer.h"
#include "numberText.h"

#include <stdexcept>

namespace VOK {

namespace {

std::string nullEntryText(int index) { return "Parameter 'argv[" + std::to_string(index) + "]' must not be nullptr."; }

}  // namespace

bool CommandParser::parseArguments(const std::string& parameterName, int argc, const char** argv,
                                   unsigned long long& result) const {
  if (parameterName.empty()) {
    throw std::invalid_argument("Parameter 'parameterName' must not be empty.");
  }
  if (argc < 1) {
    throw std::invalid_argument("Parameter 'argc' must be >=1.");
  }
  if (argv == nullptr) {
    throw std::invalid_argument("Parameter 'argv' must not be nullptr.");
  }
  result = 0;
  bool found = false;
  for (int i = 0; i < argc - 1; ++i) {
    if (argv[i] == nullptr) {
      throw std::invalid_argument(nullEntryText(i));
    }
    if (parameterName != argv[i]) {
      continue;
    }
    const char* value = argv[i + 1];
    if (value == nullptr) {
      throw std::invalid_argument(nullEntryText(i + 1));
    }
    const std::string refusal = "Parameter value (" + std::string(value) + ") for '" + parameterName +
                                "'does not represent a valid positive numeric value.";
    if (looksNegative(value)) {
      throw std::invalid_argument(refusal);
    }
    const std::optional<unsigned long long> number = numberFromText(value, NumberSyntax::CNotation);
    if (!number) {
      log(LOG_ERROR, "CommandParser::parseArguments()", refusal);
      throw std::invalid_argument(refusal);
    }
    result = *number;
    found = true;
  }
  return found;
}

}  // namespace VOK
