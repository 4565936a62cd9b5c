#include "stopSignalWatcher.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "VOKException.h"
#include "log_datalayer.h"

namespace VOK {

namespace {

// Read by the handler: written before the handler is installed and only
// replaced while it is (the pointer store is atomic).
std::atomic<const char*> watchedComponent{""};

void onStopSignal(int) {
  const int savedErrno = errno;
  logSignalSafe(LOG_INFO, watchedComponent.load(), "Caught Stop-signal");
  processStop().requestStop();
  errno = savedErrno;
}

// Whether sig would still end the process as it started: a disposition
// inherited as ignored (nohup) or a host's own handler is left alone.
bool defaultAction(int sig) {
  struct sigaction current {};
  return ::sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_DFL;
}

}  // namespace

StopSource::StopSource() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw VOKException(std::string("stop source: pipe: ") + std::strerror(errno));
  }
  wakeRead_ = ends[0];
  wakeWrite_ = ends[1];
}

StopSource::~StopSource() {
  ::close(wakeRead_);
  ::close(wakeWrite_);
}

void StopSource::requestStop() noexcept {
  flag_ = true;
  // The byte is never drained, so every waiter sees it, now and later; a
  // full pipe already wakes them all, so a failed write loses nothing.
  const char wake = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &wake, 1);
}

void StopSource::waitForWakeUp(std::chrono::nanoseconds timeout) const {
  pollfd wake{wakeRead_, POLLIN, 0};
  const long long ns = timeout.count();
  const timespec slice{static_cast<time_t>(ns / 1000000000LL), static_cast<long>(ns % 1000000000LL)};
  ::ppoll(&wake, 1, ns >= 0 ? &slice : nullptr, nullptr);
}

bool StopSource::waitUntil(std::chrono::steady_clock::time_point deadline) const {
  while (!stopRequested()) {
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::nanoseconds::zero()) {
      return false;
    }
    waitForWakeUp(left);
  }
  return true;
}

bool StopSource::waitForStop(std::chrono::nanoseconds timeout) const {
  return waitUntil(std::chrono::steady_clock::now() + timeout);
}

void StopSource::waitForStop() const {
  while (!stopRequested()) {
    waitForWakeUp(std::chrono::nanoseconds(-1));
  }
}

StopSource& processStop() {
  // Never destroyed: a signal may arrive while static destructors run.
  static StopSource* const source = new StopSource;
  return *source;
}

void watchStopSignals(const char* component, const std::vector<int>& signals) {
  processStop();  // made here, never first inside the handler
  watchedComponent = component;
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

}  // namespace VOK
