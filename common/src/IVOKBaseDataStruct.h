#pragma once

#include "Symbol.h"

#include <list>

namespace VOK {

// An app's data record. Records travel through shared memory as the byte
// image of the object, so an implementing type holds only plain values (no
// pointers, strings or containers) and writer and readers use the same type
// built for the same word size.
class IVOKBaseDataStruct {
 public:
  virtual ~IVOKBaseDataStruct() = default;
  // The record's fields, as a provide advertises them.
  virtual std::list<Symbol> getSymbolList() const = 0;
};

}  // namespace VOK
