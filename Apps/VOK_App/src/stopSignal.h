#pragma once

// Watches SIGINT (empty mask, no flags): it logs "Caught Stop-signal" under
// the broker's component and requests the process's stop. Other signals keep their
// default actions.
void installStopHandler();

// The idle phase: returns once stopProcess is set, without waking before.
void waitForStop();
