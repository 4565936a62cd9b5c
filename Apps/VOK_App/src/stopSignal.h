#pragma once

// SIGINT handler: logs "Caught Stop-signal" (async-signal-safe) and sets stopProcess.
void ctrl_c_handler(int signalNumber);

// Installs ctrl_c_handler for SIGINT (empty mask, no flags).
void installStopHandler();
