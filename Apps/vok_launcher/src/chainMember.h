#pragma once

#include "chainFile.h"

#include <sys/types.h>

#include <set>
#include <string>

// One member of the chain as the launcher tracks it: its command line and the
// pids it runs as now (the started command and, once that returned, the
// daemon it left behind in its process group).
struct ChainMember {
  unsigned number;  // 1 for the broker, then the apps in start order
  CommandLine command;
  pid_t commandPid = 0;  // the started command; also the member's process group
  std::set<pid_t> pids;

  // "member <number> (<program file name>)", as the log lines name it.
  std::string label() const;
};
