#pragma once

#include <set>
#include <string>
#include <vector>

// Finding the broker: the pids that "pidof VOK_App" lists, narrowed to those
// whose socket file a socket listens on.

// The largest number of brokers a lookup considers; an index from here on names none.
constexpr unsigned kMaxBrokers = 64;

// The socket file of the broker with this pid: "/tmp/sock_<pid>.uds".
std::string brokerSocketPath(int pid);
// The brokers this process can talk to, read now from pidof and the kernel's
// socket table (once each): the process itself alone when it is a broker;
// otherwise the listed pids whose socket file listens, in pidof's order,
// without those in refused. Empty, with one error line, when pidof lists none.
std::vector<int> reachableBrokers(const std::set<int>& refused = {});
// The entry at index, the first one when that is missing or 0; 0 when
// index >= kMaxBrokers or there is none.
int pickBroker(const std::vector<int>& brokers, unsigned index);
// The entry at index of a pidof output line (blank-separated decimal pids),
// as pickBroker picks it.
int selectBrokerPid(const std::string& pidofLine, unsigned index);
// Whether the broker with this pid can be reached: a socket listens on its
// socket file. The one test every entry of reachableBrokers passes.
bool brokerAcceptsConnections(int pid);
