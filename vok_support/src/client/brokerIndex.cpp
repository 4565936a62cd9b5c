#include "brokerIndex.h"

#include "brokerLookup.h"

#include <algorithm>

unsigned brokerIndexOf(int pid) {
  const std::vector<int> brokers = reachableBrokers();
  const auto found = std::find(brokers.begin(), brokers.end(), pid);
  return found == brokers.end() ? 0 : static_cast<unsigned>(found - brokers.begin());
}
