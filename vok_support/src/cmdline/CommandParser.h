#pragma once

#include <string>

namespace VOK {

// Reads numeric command-line options of the form "<name> <value>".
class CommandParser {
 public:
  // Looks for parameterName in argv (the last argument never counts, it has
  // no value) and converts its value with automatic base ("0x10" is 16,
  // "010" is 8, "3x" is 3). The last occurrence wins. Sets result to the
  // value, or to 0 when the option is absent; returns whether it was found.
  // Throws std::invalid_argument for an empty name, argc < 1, null argv or
  // entries, and a value that is negative or has no digits (the latter is
  // also logged under "CommandParser::parseArguments()").
  bool parseArguments(const std::string& parameterName, int argc, const char** argv,
                      unsigned long long& result) const;
};

}  // namespace VOK
