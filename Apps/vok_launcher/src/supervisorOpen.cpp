// The supervision of a chain whose broker is open: members come and go alone.
#include "launcherLog.h"
#include "supervisor.h"

#include <algorithm>
#include <csignal>

bool Supervisor::runOpenChain() {
  launcherLog(LOG_INFO, "Starting the open chain of " + std::to_string(members.size()) +
                            " members; a member that ends is restarted alone");
  bool withinLimits = true;
  for (ChainMember& member : members) {
    if (stopRequested || !withinLimits) {
      break;
    }
    startMember(member);
    withinLimits = superviseOpen(Clock::now() + std::chrono::milliseconds(options.pauseMs));
  }
  if (withinLimits && !stopRequested) {
    launcherLog(LOG_INFO, "All " + std::to_string(members.size()) + " members started");
  }
  while (withinLimits && !stopRequested) {
    withinLimits = superviseOpen(Clock::time_point::max());
  }
  stopChain();
  leftovers.remove();
  return withinLimits;
}

bool Supervisor::superviseOpen(Clock::time_point deadline) {
  while (!stopRequested) {
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      return true;
    }
    handleEvents(std::min<Clock::duration>({deadline - now, nextRestart() - now, kScanInterval}));
    for (ChainMember& member : members) {
      for (pid_t pid : member.pids) {
        leftovers.learnNamesOf(pid);
      }
    }
    for (ChainMember& member : members) {
      killIfHung(member);
      const bool started = member.startedAt != Clock::time_point{};
      const bool due = member.restartAt != Clock::time_point{};
      if (started && member.pids.empty() && !due && !stopRequested && !scheduleRestart(member, Clock::now())) {
        return false;
      }
      if (due && Clock::now() >= member.restartAt && !stopRequested) {
        member.restartAt = {};
        ringWatches[member.number].forget();
        startMember(member);
      }
    }
  }
  return true;
}

// The member ended: its restart is due after its back-off, which grows with
// each restart in a row and starts again once it ran longer than the cap.
bool Supervisor::scheduleRestart(ChainMember& member, Clock::time_point now) {
  if (member.backoffMs == 0 || now - member.startedAt >= std::chrono::milliseconds(options.backoffCapMs)) {
    member.restartsInRow = 0;
    member.backoffMs = options.backoffMs;
  }
  if (options.restartLimit != 0 && member.restartsInRow >= options.restartLimit) {
    launcherLog(LOG_ERROR, "Giving up after " + std::to_string(member.restartsInRow) + " restarts in a row of " +
                               member.label());
    return false;
  }
  if (member.number == 1) {
    // Only the broker's socket file goes; the rings of the providers live on.
    leftovers.remove();
  }
  ++member.restartsInRow;
  member.restartAt = now + std::chrono::milliseconds(member.backoffMs);
  launcherLog(LOG_INFO, "Restarting " + member.label() + " in " + std::to_string(member.backoffMs) + " ms (restart " +
                            std::to_string(member.restartsInRow) + " in a row)");
  member.backoffMs = std::min(member.backoffMs * 2, std::max(options.backoffCapMs, options.backoffMs));
  return true;
}

void Supervisor::killIfHung(ChainMember& member) {
  if (options.hangMs == 0) {
    return;
  }
  const auto bound = std::chrono::milliseconds(options.hangMs);
  for (pid_t pid : member.pids) {
    std::string ring;
    if (ringWatches[member.number].standsStill(pid, Clock::now(), bound, ring)) {
      launcherLog(LOG_ERROR, member.label() + " pid " + std::to_string(pid) + " hangs: its ring " + ring +
                                 " stood still for " + std::to_string(options.hangMs) + " ms; sending SIGKILL");
      functions->_kill(pid, SIGKILL);
      ringWatches[member.number].forget();
    }
  }
}

Supervisor::Clock::time_point Supervisor::nextRestart() const {
  Clock::time_point next = Clock::time_point::max();
  for (const ChainMember& member : members) {
    if (member.restartAt != Clock::time_point{}) {
      next = std::min(next, member.restartAt);
    }
  }
  return next;
}
