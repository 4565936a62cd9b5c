#pragma once

#include <functional>
#include <string>
#include <vector>

namespace VOK {

// How a program runs its body.
struct AppRun {
  std::string component;         // of the line that logs a failure
  const char* stopComponent;     // of "Caught Stop-signal"; must stay valid while the process runs
  std::vector<int> stopSignals;  // the signals that request processStop(); none: the program takes its own
  bool realTime = false;         // ask for SCHED_FIFO and locked memory first
};

// The one shape of a program's main once its command line is read: watches
// the stop signals, goes real-time when asked, and runs body at the process
// boundary. Returns body's status, or 1 when body threw (the exception is
// logged with LOG_ERROR under component).
int runApp(const AppRun& app, const std::function<int()>& body);

}  // namespace VOK
