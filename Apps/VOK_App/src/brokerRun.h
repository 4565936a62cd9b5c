#pragma once

#include "brokerOptions.h"

namespace broker {

// The broker's whole run after the command line was accepted and the stop
// signal is watched: socket set-up,
// accept phase, sign-in and reply passes, idle until stopProcess, shutdown.
// Returns the process exit status: 0 after an orderly stop, 1 when a pass
// ended on an error. Socket set-up
// failures throw VOK::VOKException.
int runBroker(const BrokerOptions& options);

}  // namespace broker
