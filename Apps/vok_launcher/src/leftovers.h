#pragma once

#include <sys/types.h>

#include <set>
#include <string>

// What the members of one round of the chain may leave behind: the broker's
// socket file and the shared-memory names of providers that died without
// removing them. Names are learned while their holders run.
class Leftovers {
 public:
  // Remembers the shared-memory names that pid has open.
  void learnNamesOf(pid_t pid);
  // Remembers that a broker ran as pid (its socket file is /tmp/sock_<pid>.uds).
  void brokerRanAs(pid_t pid);
  // Once every member has ended: removes the brokers' socket files and each
  // learned name whose owner is gone (its lock can be taken), one log line
  // each, and forgets them. A name held by a live provider is never touched.
  void remove();

 private:
  std::set<std::string> sharedMemoryNames;
  std::set<pid_t> brokerPids;
};
