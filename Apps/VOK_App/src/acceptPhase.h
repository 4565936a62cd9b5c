#pragma once

#include <list>

class SocketHandler;

namespace broker {

class AppAdmission;

// Accepts connections on the listening handler until count apps that
// admission lets in are in or stop is set (at least one attempt, also for
// count 0); about 10.5 ms per attempt while nobody connects. A refused
// connection is closed and not counted. Returns the descriptors in accept order.
std::list<int> acceptApps(SocketHandler& server, AppAdmission& admission, unsigned long long count,
                          volatile bool& stop);

}  // namespace broker
