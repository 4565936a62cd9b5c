#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>

namespace vok_itest {

// One child of the test process, known by its pid until it is reaped. Signals
// go to that pid only, and only while it is unreaped, so a reused pid is never
// hit. The destructor kills (SIGKILL) and reaps a child that still runs.
class ChildProcess {
 public:
  // Takes charge of a child of this process (started here or adopted as subreaper).
  explicit ChildProcess(pid_t pid);
  virtual ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The child's pid.
  pid_t pid() const { return childPid; }
  // Waits up to timeout for the child to end: its exit status, 128 + signal
  // number when a signal ended it, std::nullopt when it still runs.
  std::optional<int> waitForExit(std::chrono::milliseconds timeout);
  // Whether the child has ended (reaps it when it has).
  bool hasExited();
  // Sends sig to the child; does nothing once it is reaped.
  void sendSignal(int sig);
  // Whether pid belongs to a ChildProcess that is alive in this test process.
  static bool isTracked(pid_t pid);

 private:
  pid_t childPid;
  std::optional<int> status;
};

// Whether no process has pid any more (not even a zombie).
bool processGone(pid_t pid);

// Makes this process the reaper of its orphaned descendants, so that a daemon
// forked by a started program becomes our child. Idempotent.
void becomeSubreaper();

}  // namespace vok_itest
