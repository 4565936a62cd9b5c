#include "controllerState.h"

namespace servo_controller {

const std::string appName = "Remote_open_control_kit_enabled_target_(Zentor)";
std::atomic<bool> stopProcess{false};

}  // namespace servo_controller
