#pragma once

#include "IProcessFunctions.h"
#include "chainFile.h"
#include "chainMember.h"
#include "launcherOptions.h"
#include "leftovers.h"
#include "ringWatch.h"

#include <signal.h>

#include <chrono>
#include <map>
#include <memory>
#include <vector>

// Runs the chain: starts the broker and then the apps, pausing between starts;
// when any member ends, stops the others, removes what they left, waits a
// growing back-off and starts the whole chain again. With an open broker
// (its line gives --open) only the member that ended is restarted, after its
// own growing back-off. SIGINT, SIGTERM or SIGHUP (unless started with it
// ignored) stops the chain in order (apps last started first, the broker
// last).
class Supervisor {
 public:
  // chain: the broker's command line first; it gets "--count" with the
  // number of apps (0 for an open broker) unless it gives -c or --count. Throws
  // std::invalid_argument for a null functions pointer.
  Supervisor(std::shared_ptr<IProcessFunctions> functions, std::vector<CommandLine> chain,
             const LauncherOptions& options);

  // Becomes the subreaper of the members' daemons and supervises until a stop
  // signal (returns 0) or until the restart limit is used up (returns 1).
  // The stop signals are blocked in the launcher and unblocked in the members.
  int run();

 private:
  using Clock = std::chrono::steady_clock;
  // How often the members' open shared-memory names are looked at while they run.
  static constexpr std::chrono::milliseconds kScanInterval{250};

  // One start, run and stop of the chain: how long it ran with every member started.
  Clock::duration runRound();
  // An open chain: every member started once, then each one restarted alone
  // when it ends. Returns when a stop was requested or a member's restart
  // limit is used up (false).
  bool runOpenChain();
  // Handles events and restarts ended members until deadline; false when a
  // member's restart limit is used up.
  bool superviseOpen(Clock::time_point deadline);
  bool scheduleRestart(ChainMember& member, Clock::time_point now);
  Clock::time_point nextRestart() const;
  // Kills (SIGKILL) a provider whose ring stood still for the chain's hang bound.
  void killIfHung(ChainMember& member);
  void startMember(ChainMember& member);
  void stopChain();
  void stopPids(ChainMember& member);
  bool waitForRound(Clock::time_point deadline);
  bool waitForPids(const ChainMember& member, Clock::time_point deadline);
  void handleEvents(Clock::duration timeout);
  void reapChildren();
  void onEnded(pid_t pid, int status);
  void adoptDaemons();
  bool waitForBackoff(unsigned milliseconds);

  std::shared_ptr<IProcessFunctions> functions;
  std::vector<ChainMember> members;
  LauncherOptions options;
  sigset_t watched{};
  sigset_t original{};
  Leftovers leftovers;
  // Adopted processes outside every member's group; stopped with the chain.
  ChainMember strays;
  bool open = false;
  std::map<unsigned, RingWatch> ringWatches;  // by member number
  bool stopRequested = false;
  bool memberEnded = false;
};
