#include "stopSignal.h"

#include "brokerState.h"
#include "stopSignalWatcher.h"

void installStopHandler() { VOK::watchStopSignals(callerText, {SIGINT}); }

void waitForStop() {
  // The passes run on this thread and are over, so from here on only the
  // signal can request the stop: block until it comes.
  VOK::processStop().waitForStop();
}
