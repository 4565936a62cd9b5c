#pragma once

#include <string>

namespace VOK {

// The value of a command-line option that takes a whole decimal number from
// low to high. Throws std::invalid_argument with the text for the user:
// option + " takes a whole number from LOW to HIGH, not \"TEXT\"".
unsigned long optionNumber(const std::string& option, const std::string& text, unsigned long low,
                           unsigned long high);

}  // namespace VOK
