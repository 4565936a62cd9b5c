#pragma once

#include <atomic>
#include <chrono>
#include <csignal>
#include <vector>

namespace VOK {

// A stop request that loops wait on with their deadline: one flag, and a
// wake-up of every waiter, now and later, once it is set.
class StopSource {
 public:
  // Throws VOKException with the system's text when the wake-up pipe cannot be made.
  StopSource();
  ~StopSource();
  StopSource(const StopSource&) = delete;
  StopSource& operator=(const StopSource&) = delete;

  // Sets the flag and wakes every waiter; safe inside a signal handler.
  void requestStop() noexcept;
  // Whether a stop was requested; never cleared by this class.
  bool stopRequested() const noexcept { return flag_.load(); }
  // The flag that requestStop sets, for code that reads a flag of its own
  // name; only tests clear it.
  std::atomic<bool>& flag() noexcept { return flag_; }
  // Blocks until a stop is requested (true) or timeout has passed (false).
  // Any thread may wait, whichever thread requests the stop.
  bool waitForStop(std::chrono::nanoseconds timeout) const;
  // Blocks until a stop is requested (true) or the steady clock reads deadline (false).
  bool waitUntil(std::chrono::steady_clock::time_point deadline) const;
  // Blocks until a stop is requested.
  void waitForStop() const;

 private:
  // Waits on the wake-up pipe for at most timeout; a negative timeout waits without limit.
  void waitForWakeUp(std::chrono::nanoseconds timeout) const;

  std::atomic<bool> flag_{false};
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
};

// The process's one stop source: the stop signals request it, and so may the
// program itself (an error that ends it in order).
StopSource& processStop();

// Installs, for each of signals, a handler (empty mask, no flags, so a sleep
// it interrupts ends early) that writes LOG_INFO "Caught Stop-signal" under
// component with one write(2) and requests processStop(). SIGHUP is watched
// the same way and SIGPIPE is ignored, each unless the process started with
// it ignored or its host installed a handler of its own. component must stay
// valid while the process runs (a literal or a static array). A later call
// replaces component for all signals and adds its own. Throws VOKException
// with the system's text when the stop source cannot be made.
void watchStopSignals(const char* component, const std::vector<int>& signals = {SIGINT});

}  // namespace VOK
