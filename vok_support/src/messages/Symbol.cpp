#include "Symbol.h"

#include <utility>

Symbol::Symbol(std::string name, std::string type, unsigned long long sizeOf,
               unsigned long long offset)
    : name(std::move(name)), type(std::move(type)), sizeOf(sizeOf), offset(offset) {}

const std::string& Symbol::getName() const { return name; }
void Symbol::setName(const std::string& newName) { name = newName; }
const std::string& Symbol::getType() const { return type; }
void Symbol::setType(const std::string& newType) { type = newType; }
unsigned long long Symbol::getSizeOf() const { return sizeOf; }
void Symbol::setSizeOf(unsigned long long newSize) { sizeOf = newSize; }
unsigned long long Symbol::getOffset() const { return offset; }
void Symbol::setOffset(unsigned long long newOffset) { offset = newOffset; }

bool Symbol::operator==(const Symbol& other) const {
  if (this == &other) {
    return true;
  }
  return name == other.name && type == other.type && sizeOf == other.sizeOf &&
         offset == other.offset;
}
