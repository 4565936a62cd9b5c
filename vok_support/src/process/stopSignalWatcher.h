#pragma once

#include <atomic>
#include <csignal>
#include <initializer_list>

namespace VOK {

// The process's one stop-signal watcher: every app installs its stop signal
// here, and whatever waits for the stop blocks instead of ticking.

// Runs inside the signal handler after the flag is set; it must only do
// what a handler may (set a flag of the app's own).
using StopAction = void (*)();

// Installs, for each of signals, a handler (empty mask, no flags, so a sleep
// it interrupts ends early) that writes LOG_INFO "Caught Stop-signal" under
// component with one write(2), sets stopSignalled(), runs onStop and wakes
// every waitForStopSignal. SIGHUP is watched the same way and SIGPIPE is
// ignored, each unless the process started with it ignored or its host
// installed a handler of its own. component must stay valid while the
// process runs (a literal or a static array). A later call replaces
// component and onStop for all signals and adds its own. Throws
// VOKException with the system's text when the wake-up pipe cannot be made.
void watchStopSignals(const char* component, std::initializer_list<int> signals = {SIGINT},
                      StopAction onStop = nullptr);

// Set once a watched signal arrived; never cleared.
const std::atomic<bool>& stopSignalled();

// Blocks until a watched signal has arrived (true) or timeoutNs nanoseconds
// have passed (false); a negative timeout waits without limit. Any thread
// may wait, whichever thread the signal is delivered to.
bool waitForStopSignal(long long timeoutNs = -1);

}  // namespace VOK
