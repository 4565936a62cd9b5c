#include "controllerState.h"

#include "stopSignalWatcher.h"

namespace servo_controller {

const std::string appName = "Remote_open_control_kit_enabled_target_(Zentor)";
std::atomic<bool>& stopProcess = VOK::processStop().flag();

}  // namespace servo_controller
