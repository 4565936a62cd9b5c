#pragma once

#include "IVOKBaseDataStruct.h"

// Counter records exchanged by the provider and consumer test programs.
struct SampleRecord : VOK::IVOKBaseDataStruct {
  unsigned long long counter = 0;
  char text[24] = {};
  std::list<Symbol> getSymbolList() const override {
    return {Symbol("counter", "uint64_t", sizeof(counter), sizeof(void*)),
            Symbol("text", "char", sizeof(text), sizeof(void*) + sizeof(counter))};
  }
};
