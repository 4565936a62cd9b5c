#pragma once

#include <string>

#include "appSignIn.h"
#include "controllerOptions.h"
#include "stopSignalWatcher.h"

namespace servo_controller {

// The poll loop with the failsafe on (options.failsafe set): forwards the
// newest record every 150 ms while the feed writes; once the ring's index
// has stood still for the failsafe time, sends the neutral values instead
// until records flow again, logging each change once. Looks at the index
// every 25 ms, so that a lost feed is noticed within that of the limit.
// Sends the neutral values once more when a stop requested of stop ends the
// loop. Each pass follows a restarted provider to its new ring. The session
// has a reader; the servo port must be open.
void forwardWithFailsafe(VOK::ConsumerSession& session, const ControllerOptions& options,
                         const std::string& component, const VOK::StopSource& stop);

}  // namespace servo_controller
