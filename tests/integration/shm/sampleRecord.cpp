#include "sampleRecord.h"

std::list<Symbol> SampleRecord::getSymbolList() const {
  return {Symbol("counter", "uint64_t", sizeof(counter), sizeof(void*)),
          Symbol("text", "char", sizeof(text), sizeof(void*) + sizeof(counter))};
}
