#pragma once

#include <list>

class SocketHandler;
namespace VOK {
class StopSource;
}

namespace broker {

class AppAdmission;

// Accepts connections on the listening handler until count apps that
// admission lets in are in or a stop is requested (at least one attempt, also for
// count 0), waiting on stop 500 µs after each; about 10.5 ms per attempt while nobody connects. A refused
// connection is closed and not counted. Returns the descriptors in accept order.
std::list<int> acceptApps(SocketHandler& server, AppAdmission& admission, unsigned long long count,
                          const VOK::StopSource& stop);

}  // namespace broker
