#pragma once

#include <optional>
#include <string>

namespace VOK {

// How a command line writes its numbers.
enum class NumberSyntax {
  CNotation,  // automatic base ("0x10" 16, "010" 8), leading blanks and a rest
              // after the digits accepted
  Decimal,    // decimal digits only, the whole text
};

// Whether text, after leading blanks, begins with a minus sign (strtoull
// would turn " -5" into a huge number).
bool looksNegative(const std::string& text);

// The one converter of command-line numbers: the value of text, or nothing
// when it has no digits, is out of range or, for Decimal, is not all
// digits. A minus sign is never a number here.
std::optional<unsigned long long> numberFromText(const std::string& text, NumberSyntax syntax);

}  // namespace VOK
