#include "numberText.h"

#include <cerrno>
#include <cstdlib>

namespace VOK {

bool looksNegative(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  return first != std::string::npos && text[first] == '-';
}

std::optional<unsigned long long> numberFromText(const std::string& text, NumberSyntax syntax) {
  const bool decimal = syntax == NumberSyntax::Decimal;
  if (decimal && (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)) {
    return std::nullopt;
  }
  if (looksNegative(text)) {
    return std::nullopt;
  }
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  // strtoull, not strtoul: unsigned long is 32 bits on the ARM boards,
  // where values from 2^32 on would be refused that 64-bit hosts accept.
  const unsigned long long value = std::strtoull(begin, &end, decimal ? 10 : 0);
  if (end == begin || errno == ERANGE) {
    return std::nullopt;
  }
  return value;
}

}  // namespace VOK
