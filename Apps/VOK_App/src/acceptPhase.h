#pragma once

#include <list>

class SocketHandler;

// Accepts connections on the listening handler until count apps are in or
// stop is set (at least one attempt, also for count 0); about 10.5 ms per
// attempt while nobody connects. Returns the descriptors in accept order.
std::list<int> acceptApps(SocketHandler& server, unsigned long long count, volatile bool& stop);
