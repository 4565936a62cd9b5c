#pragma once

#include <string>
#include <vector>

#include "controllerOptions.h"
#include "controllerState.h"

namespace servo_controller {

// The servo controller's sign-in, poll loop and stop, run by main in the
// forked worker.

// The component of the stop signal's log line.
extern const char kStopComponent[];

// The stop signals: SIGINT, and SIGTERM too with the failsafe. Each logs
// "Caught Stop-signal" and requests the process's stop, which ends the poll
// pause at once.
std::vector<int> stopSignals(const ControllerOptions& options);

// Signs in as consumer of bramixData, attaches to the provider's ring and
// forwards the newest record to the servo board every 150 ms (with
// options.wakeOnRecord also as soon as one is written) until stopProcess (with options.failsafe: the neutral values while the feed is
// lost, and at the stop). From the port's opening a last-word guardian puts
// the neutral values on the line whenever and however the controller ends.
// 0 after an orderly stop, 1 when the reply does not name exactly one
// provider with one provide. Exceptions of the support library pass through.
int runController(const std::string& component, const ControllerOptions& options);

}  // namespace servo_controller
