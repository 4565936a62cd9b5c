// servo_controller: forwards the remote-control values published by the
// command feed to the serial servo board.
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "controllerOptions.h"
#include "runApp.h"
#include "log_datalayer.h"
#include "servoController.h"

using namespace servo_controller;

int main(int argc, char** argv) {
  const std::string component = appName + "C::main()";
  // The command line is read before the fork, so that a refused one ends
  // the command the user typed.
  const ControllerCommand command = readControllerOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (const std::optional<int> status = VOK::answerInstead(command)) {
    return *status;
  }
  if (fork() > 0) {
    log(LOG_INFO, component, "going into daemon mode");
    return 0;
  }
  // A failure of the support library ends the worker with a log line and
  // status 1 instead of an abort with a core dump.
  return VOK::runApp({component, kStopComponent, stopSignals(command.options), true},
                     [&] { return runController(component, command.options); });
}
