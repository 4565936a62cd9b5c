#include "stopSignal.h"

#include "brokerState.h"
#include "log_datalayer.h"

#include <signal.h>

void ctrl_c_handler(int) {
  logSignalSafe(LOG_INFO, callerText, "Caught Stop-signal");
  stopProcess = true;
}

void installStopHandler() {
  struct sigaction action = {};
  action.sa_handler = ctrl_c_handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  sigaction(SIGINT, &action, nullptr);
}
