#include "supervisor.h"

#include "launcherLog.h"
#include "procScan.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;

// How long a member that got SIGKILL may take to be reaped before it is given up.
constexpr auto kKillWait = 5s;

bool hasCountOption(const CommandLine& command) {
  return std::any_of(command.begin() + 1, command.end(),
                     [](const std::string& word) { return word == "-c" || word == "--count"; });
}

std::string howItEnded(int status) {
  if (WIFSIGNALED(status)) {
    return "killed by signal " + std::to_string(WTERMSIG(status));
  }
  return "exit status " + std::to_string(WEXITSTATUS(status));
}

timespec toTimespec(std::chrono::steady_clock::duration duration) {
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(std::max(duration, duration.zero()));
  return {static_cast<time_t>(ns.count() / 1000000000), static_cast<long>(ns.count() % 1000000000)};
}

}  // namespace

Supervisor::Supervisor(std::shared_ptr<IProcessFunctions> functions, std::vector<CommandLine> chain,
                       const LauncherOptions& options)
    : functions(std::move(functions)), options(options) {
  if (!this->functions) {
    throw std::invalid_argument("Supervisor: the process functions must not be null");
  }
  open = !chain.empty() && std::find(chain.front().begin(), chain.front().end(), "--open") != chain.front().end();
  if (!chain.empty() && !hasCountOption(chain.front())) {
    // An open broker answers whoever signs in; it need not wait for all.
    chain.front().push_back("--count");
    chain.front().push_back(open ? "0" : std::to_string(chain.size() - 1));
  }
  for (CommandLine& command : chain) {
    ChainMember member;
    member.number = static_cast<unsigned>(members.size() + 1);
    member.command = std::move(command);
    members.push_back(std::move(member));
  }
  strays.number = 0;
  strays.command = {"adopted"};
  sigemptyset(&watched);
  // SIGHUP (a closed terminal) stops the chain in order like SIGTERM, so
  // that it never runs on unsupervised; SIGPIPE is taken here and dropped,
  // so a log line to a closed pipe fails instead of killing the launcher.
  for (int sig : {SIGCHLD, SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    sigaddset(&watched, sig);
  }
}

int Supervisor::run() {
  if (functions->_becomeSubreaper() != 0) {
    launcherLog(LOG_ERROR, std::string("Cannot adopt the members' daemons: ") + std::strerror(errno));
    return 1;
  }
  // Started with hang-ups ignored (nohup), it keeps running through one.
  if (functions->_signal(SIGHUP, SIG_DFL) == SIG_IGN) {
    functions->_signal(SIGHUP, SIG_IGN);
    sigdelset(&watched, SIGHUP);
  }
  // Blocked, the signals wait for sigtimedwait, so none is lost between two
  // looks. Default actions (a shell ignores SIGINT in background jobs) pass
  // on to the members, so that each of them can be stopped with SIGINT.
  functions->_sigprocmask(SIG_BLOCK, &watched, &original);
  functions->_signal(SIGINT, SIG_DFL);
  functions->_signal(SIGTERM, SIG_DFL);
  if (open) {
    const bool stopped = runOpenChain();
    launcherLog(LOG_INFO, "Chain stopped");
    return stopped ? 0 : 1;
  }
  unsigned restarts = 0;
  unsigned backoff = options.backoffMs;
  while (true) {
    const Clock::duration ranComplete = runRound();
    if (stopRequested) {
      break;
    }
    // A chain that ran complete for longer than the longest back-off was healthy.
    if (ranComplete >= std::chrono::milliseconds(options.backoffCapMs)) {
      restarts = 0;
      backoff = options.backoffMs;
    }
    if (options.restartLimit != 0 && restarts >= options.restartLimit) {
      launcherLog(LOG_ERROR, "Giving up after " + std::to_string(restarts) + " restarts in a row");
      return 1;
    }
    ++restarts;
    launcherLog(LOG_INFO, "Restarting the chain in " + std::to_string(backoff) + " ms (restart " +
                              std::to_string(restarts) + " in a row)");
    if (!waitForBackoff(backoff)) {
      break;
    }
    backoff = std::min(backoff * 2, std::max(options.backoffCapMs, options.backoffMs));
  }
  launcherLog(LOG_INFO, "Chain stopped");
  return 0;
}

Supervisor::Clock::duration Supervisor::runRound() {
  memberEnded = false;
  for (ChainMember& member : members) {
    member.commandPid = 0;
  }
  launcherLog(LOG_INFO, "Starting the chain of " + std::to_string(members.size()) + " members");
  bool started = true;
  for (ChainMember& member : members) {
    startMember(member);
    if (!waitForRound(Clock::now() + std::chrono::milliseconds(member.number < members.size() ? options.pauseMs : 0))) {
      started = false;
      break;
    }
  }
  Clock::duration ranComplete{0};
  if (started) {
    launcherLog(LOG_INFO, "All " + std::to_string(members.size()) + " members started");
    const Clock::time_point complete = Clock::now();
    waitForRound(Clock::time_point::max());
    ranComplete = Clock::now() - complete;
  }
  stopChain();
  leftovers.remove();
  return ranComplete;
}

void Supervisor::startMember(ChainMember& member) {
  const pid_t pid = functions->_fork();
  if (pid == 0) {
    // In the member: its own process group (a terminal's Ctrl-C reaches the
    // launcher only, which stops the chain in order) and the usual signal mask.
    functions->_setpgid(0, 0);
    functions->_sigprocmask(SIG_SETMASK, &original, nullptr);
    std::vector<char*> argv;
    for (std::string& word : member.command) {
      argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    functions->_execvp(argv[0], argv.data());
    launcherLog(LOG_ERROR, "Cannot start " + member.label() + ": " + std::strerror(errno));
    ::_exit(127);
  }
  if (pid < 0) {
    launcherLog(LOG_ERROR, "Cannot start " + member.label() + ": " + std::strerror(errno));
    memberEnded = true;
    return;
  }
  // Also here, so that the group exists before any daemon of it is looked for.
  functions->_setpgid(pid, pid);
  member.commandPid = pid;
  member.pids = {pid};
  member.startedAt = Clock::now();
  if (member.number == 1) {
    leftovers.brokerRanAs(pid);
  }
  launcherLog(LOG_INFO, "Started " + member.label() + " as pid " + std::to_string(pid));
}

// The apps in reverse start order, then the broker, then adopted strays.
void Supervisor::stopChain() {
  for (auto member = members.rbegin(); member != members.rend(); ++member) {
    stopPids(*member);
  }
  adoptDaemons();
  stopPids(strays);
}

void Supervisor::stopPids(ChainMember& member) {
  if (member.pids.empty()) {
    return;
  }
  for (pid_t pid : member.pids) {
    launcherLog(LOG_INFO, "Stopping " + member.label() + " pid " + std::to_string(pid) + " with SIGINT");
    functions->_kill(pid, SIGINT);
  }
  if (waitForPids(member, Clock::now() + std::chrono::milliseconds(options.graceMs))) {
    return;
  }
  for (pid_t pid : member.pids) {
    launcherLog(LOG_ERROR, member.label() + " pid " + std::to_string(pid) + " still runs after " +
                               std::to_string(options.graceMs) + " ms: sending SIGKILL");
    functions->_kill(pid, SIGKILL);
  }
  if (!waitForPids(member, Clock::now() + kKillWait)) {
    launcherLog(LOG_ERROR, member.label() + " did not end after SIGKILL; no longer tracked");
    member.pids.clear();
  }
}

// Handles events until the deadline: false as soon as a member ended or a
// stop was requested.
bool Supervisor::waitForRound(Clock::time_point deadline) {
  while (!memberEnded && !stopRequested) {
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      return true;
    }
    handleEvents(std::min<Clock::duration>(deadline - now, kScanInterval));
    for (const ChainMember& member : members) {
      for (pid_t pid : member.pids) {
        leftovers.learnNamesOf(pid);
      }
    }
  }
  return false;
}

// Handles events until every pid of member has been reaped (true) or the deadline passed.
bool Supervisor::waitForPids(const ChainMember& member, Clock::time_point deadline) {
  while (!member.pids.empty() && Clock::now() < deadline) {
    handleEvents(std::min<Clock::duration>(deadline - Clock::now(), kScanInterval));
  }
  return member.pids.empty();
}

bool Supervisor::waitForBackoff(unsigned milliseconds) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  while (!stopRequested && Clock::now() < deadline) {
    handleEvents(deadline - Clock::now());
  }
  return !stopRequested;
}

void Supervisor::handleEvents(Clock::duration timeout) {
  const timespec wait = toTimespec(timeout);
  siginfo_t info{};
  const int sig = functions->_sigtimedwait(&watched, &info, &wait);
  // The launcher's own liveness for systemd's watchdog: this loop still turns.
  functions->_sdNotify("WATCHDOG=1");
  if ((sig == SIGINT || sig == SIGTERM || sig == SIGHUP) && !stopRequested) {
    launcherLog(LOG_INFO, "Caught Stop-signal");
    stopRequested = true;
  }
  reapChildren();
}

void Supervisor::reapChildren() {
  int status = 0;
  pid_t pid = 0;
  while ((pid = functions->_waitpid(-1, &status, WNOHANG)) > 0) {
    onEnded(pid, status);
  }
}

void Supervisor::onEnded(pid_t pid, int status) {
  for (ChainMember& member : members) {
    if (member.pids.erase(pid) == 0) {
      continue;
    }
    const bool daemonised = pid == member.commandPid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (daemonised) {
      adoptDaemons();
    }
    if (!daemonised || member.pids.empty()) {
      launcherLog(LOG_INFO, member.label() + " pid " + std::to_string(pid) + " ended: " + howItEnded(status));
    }
    if (member.pids.empty()) {
      memberEnded = true;
    }
    return;
  }
  strays.pids.erase(pid);
  launcherLog(LOG_INFO, "Reaped adopted pid " + std::to_string(pid) + ": " + howItEnded(status));
}

// Orphans that became our children belong to the member of their process group.
void Supervisor::adoptDaemons() {
  for (const ChildInGroup& child : childrenOf(::getpid())) {
    auto owner = std::find_if(members.begin(), members.end(),
                              [&](const ChainMember& member) { return member.commandPid == child.group; });
    ChainMember& member = owner != members.end() ? *owner : strays;
    const bool known = std::any_of(members.begin(), members.end(),
                                   [&](const ChainMember& m) { return m.pids.count(child.pid) != 0; });
    if (known || !member.pids.insert(child.pid).second) {
      continue;
    }
    if (member.number == 1) {
      leftovers.brokerRanAs(child.pid);
    }
    launcherLog(LOG_INFO, member.label() + " went into the background as pid " + std::to_string(child.pid));
  }
}
