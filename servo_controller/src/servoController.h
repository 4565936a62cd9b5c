#pragma once

#include <string>

#include "controllerState.h"

// The servo controller's sign-in, poll loop and stop, run by main in the
// forked worker.

// SIGINT: logs "Caught Stop-signal" and sets stopProcess.
void ctrl_c_handler(int);

// Installs ctrl_c_handler for SIGINT, without restarting interrupted calls,
// so that a signal ends the poll pause at once.
void installStopHandler();

// Signs in as consumer of bramixData, attaches to the provider's ring and
// forwards the newest record to the servo board every 150 ms until
// stopProcess. 0 after an orderly stop, 1 when the reply does not name
// exactly one provider with one provide. Exceptions of the support library
// pass through.
int runController(const std::string& component);
