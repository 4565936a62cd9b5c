// servo_controller: forwards the remote-control values published by the
// command feed to the serial servo board.
#include <unistd.h>

#include <string>

#include "logFailure.h"
#include "realTime.h"
#include "log_datalayer.h"
#include "servoController.h"

int main() {
  const std::string component = appName + "C::main()";
  if (fork() > 0) {
    log(LOG_INFO, component, "going into daemon mode");
    return 0;
  }
  VOK::becomeRealTime();
  installStopHandler();
  // A failure of the support library ends the worker with a log line and
  // status 1 instead of an abort with a core dump.
  int status = 1;
  runLoggingFailure(component, [&] { status = runController(component); });
  return status;
}
