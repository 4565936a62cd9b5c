#pragma once

#include "optionTable.h"

namespace broker {

// The broker's command-line settings.
struct BrokerOptions {
  unsigned long long lifetime = 10;  // segment lifetime announced to apps, ms
  unsigned long long test = 0;       // non-zero: test mode
  unsigned long long count = 2;      // apps to accept before sign-ins are read
  bool open = false;                 // after the first pass, apps may come, go and come back
};

// Reads --lifetime/-l, --test/-t and --count/-c (long form first, defaults
// when absent) and the flag --open. On a refused command line logs why and the termination line
// and returns false.
bool readBrokerOptions(int argc, const char** argv, BrokerOptions& options);

// The broker's options, bound to options: their forms, help lines and targets.
VOK::OptionTable brokerOptionTable(BrokerOptions& options);

}  // namespace broker
