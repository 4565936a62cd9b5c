#pragma once

#include <sys/types.h>

#include <set>
#include <string>
#include <vector>

// What /proc tells about processes; processes that end meanwhile are skipped.

// A child of the given parent with its process group.
struct ChildInGroup {
  pid_t pid;
  pid_t group;
};

// Every process whose parent is parent (for a subreaper: also the orphans it adopted).
std::vector<ChildInGroup> childrenOf(pid_t parent);

// Names (as given to shm_open, "/name") of the shared-memory objects that pid
// has open, except those already unlinked.
std::set<std::string> sharedMemoryNamesOpenedBy(pid_t pid);

// Names ("/name") of the shared-memory objects that pid has mapped writable
// and shared: the rings it provides.
std::set<std::string> sharedMemoryNamesWrittenBy(pid_t pid);
