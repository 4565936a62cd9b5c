#pragma once

#include <string>

#include "Requests.h"
#include "appSignIn.h"

namespace VOK {

// What both ends of a ring agree on about its record, defined once per
// record type: the provider offers it and its consumers ask for it by it.
struct RecordContract {
  const char* providerName;         // the app that provides it; a request names it
  const char* shmId;                // the ring's shared-memory object, the provide's key
  const char* symbolName;           // the record's one symbol
  const char* symbolType;           // the symbol's element type
  unsigned long long symbolSize;    // the symbol's bytes
  unsigned recordSize;              // sizeof the record type
  const char* provideDescription;   // the provide's description
  const char* provideVersion;       // the provide's version
  const char* requestVersion;       // a request's version
  int provideSignal;                // the provide's signal number

  // The ring a provider announces, written once per cycleTimeUs.
  RingOffer offer(unsigned long long cycleTimeUs) const;
  // The request of a consumer for the record, in the consumer's own words:
  // the symbol at offset 0, as a request carries it.
  Requests request(const std::string& wish) const;
};

}  // namespace VOK
