#include "optionNumber.h"

#include <stdexcept>

namespace VOK {

unsigned long optionNumber(const std::string& option, const std::string& text, unsigned long low,
                           unsigned long high) {
  size_t used = 0;
  unsigned long value = 0;
  try {
    value = std::stoul(text, &used, 10);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || text[0] == '-' || value < low || value > high) {
    throw std::invalid_argument(option + " takes a whole number from " + std::to_string(low) + " to " +
                                std::to_string(high) + ", not \"" + text + "\"");
  }
  return value;
}

}  // namespace VOK
