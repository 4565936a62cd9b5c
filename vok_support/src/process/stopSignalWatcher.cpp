#include "stopSignalWatcher.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "VOKException.h"
#include "log_datalayer.h"
#include "pollPause.h"

namespace VOK {

namespace {

// Read by the handler: plain values that are written before the handler is
// installed and only replaced while it is (the pointer stores are atomic).
std::atomic<const char*> watchedComponent{""};
std::atomic<StopAction> stopAction{nullptr};
std::atomic<bool> signalled{false};
// A byte in this pipe wakes the waiters; it is never drained, so every
// waiter sees it, now and later.
int wakeRead = -1;
int wakeWrite = -1;

void onStopSignal(int) {
  const int savedErrno = errno;
  logSignalSafe(LOG_INFO, watchedComponent.load(), "Caught Stop-signal");
  signalled = true;
  if (StopAction action = stopAction.load()) {
    action();
  }
  const char wake = 1;
  // A full pipe already wakes every waiter, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = ::write(wakeWrite, &wake, 1);
  errno = savedErrno;
}

void makeWakePipe() {
  if (wakeRead >= 0) {
    return;
  }
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw VOKException(std::string("stop signal watcher: pipe: ") + std::strerror(errno));
  }
  wakeRead = ends[0];
  wakeWrite = ends[1];
}

// Whether sig would still end the process as it started: a disposition
// inherited as ignored (nohup) or a host's own handler is left alone.
bool defaultAction(int sig) {
  struct sigaction current {};
  return ::sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_DFL;
}

timespec monotonicNow() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return now;
}

long long nanosecondsUntil(const timespec& deadline) {
  const timespec now = monotonicNow();
  return (static_cast<long long>(deadline.tv_sec) - now.tv_sec) * 1000000000LL +
         (deadline.tv_nsec - now.tv_nsec);
}

}  // namespace

void watchStopSignals(const char* component, std::initializer_list<int> signals,
                      StopAction onStop) {
  makeWakePipe();
  watchedComponent = component;
  stopAction = onStop;
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  for (int signal : signals) {
    ::sigaction(signal, &action, nullptr);
  }
  // A closed terminal (an ssh session that ends) stops the process in order
  // instead of killing it mid-work, and a write to a closed pipe or socket
  // is an error the caller sees, never the death of the process.
  if (defaultAction(SIGHUP)) {
    ::sigaction(SIGHUP, &action, nullptr);
  }
  if (defaultAction(SIGPIPE)) {
    ::signal(SIGPIPE, SIG_IGN);
  }
}

const std::atomic<bool>& stopSignalled() { return signalled; }

bool waitForStopSignal(long long timeoutNs) {
  const bool limited = timeoutNs >= 0;
  const timespec deadline = addNanoseconds(monotonicNow(), limited ? timeoutNs : 0);
  while (!signalled) {
    long long left = limited ? nanosecondsUntil(deadline) : -1;
    if (limited && left <= 0) {
      return false;
    }
    if (wakeRead < 0) {
      // Nothing watched: no signal can end this wait early.
      if (!limited) {
        ::pause();
        continue;
      }
      sleepNanoseconds(static_cast<long>(left));
      continue;
    }
    pollfd wake{wakeRead, POLLIN, 0};
    const timespec slice{static_cast<time_t>(left / 1000000000LL), static_cast<long>(left % 1000000000LL)};
    ::ppoll(&wake, 1, limited ? &slice : nullptr, nullptr);
  }
  return true;
}

}  // namespace VOK
