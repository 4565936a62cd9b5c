#pragma once

#include <string>
#include <vector>

#include "commandLine.h"

// The shortest --grace: an orderly stop (the servo's SIGINT ends its pause,
// it sends the neutral frame and closes) takes a few milliseconds, and a
// busy board gets the rest.
constexpr unsigned kMinimumGraceMs = 100;

// The launcher's command line: vok_launcher [OPTIONS] CHAIN_FILE.
struct LauncherOptions {
  // Restarts in a row before the launcher gives up; 0: never gives up.
  unsigned restartLimit = 0;
  // Wait before the first restart, doubled on each restart in a row up to
  // backoffCapMs.
  unsigned backoffMs = 1000;
  unsigned backoffCapMs = 30000;
  // Time a member has to end after SIGINT before it gets SIGKILL; at least
  // kMinimumGraceMs.
  unsigned graceMs = 5000;
  // Pause after starting one member before the next.
  unsigned pauseMs = 500;
  std::string chainFile;
  // From the chain file: a provider whose ring stands still this long hangs
  // and is restarted (open chains only; 0: not watched).
  unsigned hangMs = 0;
};

using LauncherCommand = VOK::ParsedCommand<LauncherOptions>;

// Reads the arguments after the program name. Refuses, naming the bad option
// or value: an unknown option, a missing or non-numeric value, a --grace
// below kMinimumGraceMs or a --backoff of 0, no chain file, or more than one.
LauncherCommand parseLauncherOptions(const std::vector<std::string>& arguments);
