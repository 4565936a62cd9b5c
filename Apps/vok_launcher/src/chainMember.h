#pragma once

#include "chainFile.h"

#include <sys/types.h>

#include <chrono>
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
  // Open chains restart a member alone: when it last started, how many
  // restarts in a row it had, its next back-off and when it is due again
  // (the epoch: not due).
  std::chrono::steady_clock::time_point startedAt{};
  unsigned restartsInRow = 0;
  unsigned backoffMs = 0;
  std::chrono::steady_clock::time_point restartAt{};

  // "member <number> (<program file name>)", as the log lines name it.
  std::string label() const;
};
