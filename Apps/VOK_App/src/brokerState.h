#pragma once

#include <atomic>
#include <string>

namespace broker {

// "VOK_App": the program name, also what apps look up with pidof.
extern const std::string appName;
// "VOK_App/src/main": the component of the broker's own log lines.
extern const std::string caller;
// The same text as a plain array, for use from the signal handler.
extern const char callerText[];
// The flag of the process's stop source (VOK::processStop()), which the stop
// signal and the passes' error handlers request; every loop re-reads it.
extern std::atomic<bool>& stopProcess;
// Set when a pass ended on an error rather than on the stop signal: the broker
// then stops in order but exits with status 1.
extern bool passFailed;

}  // namespace broker
