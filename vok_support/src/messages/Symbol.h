#pragma once

#include <string>

// One named, typed field of a shared-memory block: size and byte offset in the block.
class Symbol {
 public:
  // name: key of the symbol in JSON; type: free text such as "int8_t"; sizes in bytes.
  Symbol(std::string name, std::string type, unsigned long long sizeOf, unsigned long long offset);

  // The symbol's name (its JSON key).
  const std::string& getName() const;
  // Replaces the name.
  void setName(const std::string& name);
  // The data type as free text.
  const std::string& getType() const;
  // Replaces the data type.
  void setType(const std::string& type);
  // Size of the symbol in bytes.
  unsigned long long getSizeOf() const;
  // Replaces the size (bytes).
  void setSizeOf(unsigned long long sizeOf);
  // Byte offset from the start of the block.
  unsigned long long getOffset() const;
  // Replaces the offset (bytes).
  void setOffset(unsigned long long offset);

  // True for the same object, otherwise when name, type, size and offset are all equal.
  bool operator==(const Symbol& other) const;

 private:
  std::string name;
  std::string type;
  unsigned long long sizeOf;
  unsigned long long offset;
};
