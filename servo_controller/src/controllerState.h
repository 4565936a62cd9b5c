#pragma once

#include <atomic>
#include <string>

namespace servo_controller {

// Process-wide state of the servo controller.

// This app's name, and the name of the provider app it requests.
extern const std::string appName;
// Ends the poll loop: the flag of the process's stop source
// (VOK::processStop()), requested by SIGINT, a failed servo open or the data pump.
extern std::atomic<bool>& stopProcess;

}  // namespace servo_controller
