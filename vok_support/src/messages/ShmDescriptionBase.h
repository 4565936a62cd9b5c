#pragma once

#include <list>
#include <string>

#include "Symbol.h"

// What a provide and a request have in common: description, layout version, symbols.
// Fixed at construction; abstract so that only Provides and Requests exist.
class ShmDescriptionBase {
 public:
  // symbols: the block's fields in the order the app added them.
  ShmDescriptionBase(std::string description, std::string appVersion, std::list<Symbol> symbols);
  ShmDescriptionBase(const ShmDescriptionBase& other) = default;
  ShmDescriptionBase& operator=(const ShmDescriptionBase& other) = default;

  // Free text describing the block.
  const std::string& getDescription() const;
  // Version text of the block's layout (a copy).
  std::string getAppVersion() const;
  // The block's fields, in insertion order.
  const std::list<Symbol>& getSymbols() const;

  // Exists only so that the base cannot be instantiated.
  virtual void MakeThisClassAbstract() = 0;

 protected:
  // Not virtual: nothing owns a description through a base pointer.
  ~ShmDescriptionBase() = default;

 private:
  std::string description;
  std::string appVersion;
  std::list<Symbol> symbols;
};
