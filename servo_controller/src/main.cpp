// servo_controller: forwards the remote-control values published by the
// command feed to the serial servo board.
#include <sched.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "logFailure.h"
#include "log_datalayer.h"
#include "servoController.h"

namespace {

// Real-time priority and locked memory keep the servo output free of paging
// and scheduling stalls; without the privilege the program runs all the same.
void becomeRealTime() {
  sched_param param{};
  param.sched_priority = 30;
  sched_setscheduler(0, SCHED_FIFO, &param);
#if !defined(__SANITIZE_ADDRESS__)
  // The address sanitizer reserves terabytes of shadow memory that cannot be locked.
  mlockall(MCL_CURRENT | MCL_FUTURE);
#endif
}

}  // namespace

int main() {
  const std::string component = appName + "C::main()";
  if (fork() > 0) {
    log(LOG_INFO, component, "going into daemon mode");
    return 0;
  }
  becomeRealTime();
  installStopHandler();
  // A failure of the support library ends the worker with a log line and
  // status 1 instead of an abort with a core dump.
  int status = 1;
  runLoggingFailure(component, [&] { status = runController(component); });
  return status;
}
