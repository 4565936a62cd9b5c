#include "runApp.h"

#include "logFailure.h"
#include "realTime.h"
#include "stopSignalWatcher.h"

namespace VOK {

int runApp(const AppRun& app, const std::function<int()>& body) {
  if (!app.stopSignals.empty()) {
    watchStopSignals(app.stopComponent, app.stopSignals);
  }
  if (app.realTime) {
    becomeRealTime();
  }
  int status = 1;
  runLoggingFailure(app.component, [&] { status = body(); });
  return status;
}

}  // namespace VOK
