#include "stopSignal.h"

#include "brokerState.h"
#include "stopSignalWatcher.h"

namespace broker {

void installStopHandler() {
  VOK::watchStopSignals(callerText, {SIGINT}, [] { stopProcess = true; });
}

void waitForStop() {
  // The passes run on this thread and are over, so from here on only the
  // signal can set the flag: block until it comes.
  if (!stopProcess) {
    VOK::waitForStopSignal();
  }
}

}  // namespace broker
