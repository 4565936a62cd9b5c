#include "ChildProcess.h"

#include "EmulatedLaunch.h"
#include "Eventually.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>

#include <cerrno>
#include <mutex>
#include <set>
#include <stdexcept>

namespace vok_itest {

namespace {

std::mutex registryLock;
std::set<pid_t>& registry() {
  static std::set<pid_t> pids;
  return pids;
}

int statusOf(int raw) {
  if (WIFEXITED(raw)) {
    return WEXITSTATUS(raw);
  }
  return 128 + WTERMSIG(raw);
}

}  // namespace

ChildProcess::ChildProcess(pid_t pid) : childPid(pid) {
  std::lock_guard<std::mutex> guard(registryLock);
  registry().insert(pid);
}

ChildProcess::~ChildProcess() {
  if (!hasExited()) {
    sendSignal(SIGKILL);
    waitForExit(std::chrono::seconds(10));
  }
  std::lock_guard<std::mutex> guard(registryLock);
  registry().erase(childPid);
}

bool ChildProcess::hasExited() {
  if (status) {
    return true;
  }
  int raw = 0;
  pid_t result = ::waitpid(childPid, &raw, WNOHANG);
  if (result == childPid) {
    status = statusOf(raw);
  } else if (result < 0) {
    // Not our child (any more): nothing left to wait for or to signal.
    status = -1;
  }
  return status.has_value();
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
  eventually([this] { return hasExited(); }, timeout, std::chrono::milliseconds(5));
  return status;
}

void ChildProcess::sendSignal(int sig) {
  if (!hasExited()) {
    ::kill(childPid, sig);
  }
}

bool ChildProcess::isTracked(pid_t pid) {
  std::lock_guard<std::mutex> guard(registryLock);
  return registry().count(pid) != 0;
}

bool processGone(pid_t pid) { return ::kill(pid, 0) == -1 && errno == ESRCH; }

void becomeSubreaper() {
  if (runsEmulated()) {
    return;  // qemu-user refuses the call; the test's launcher has made us a subreaper
  }
  if (::prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) {
    throw std::runtime_error("prctl(PR_SET_CHILD_SUBREAPER) failed");
  }
}

}  // namespace vok_itest
