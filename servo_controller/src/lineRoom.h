#pragma once

#include "stopSignalWatcher.h"

namespace servo_controller {

// Waits while the port still sends earlier frames (at most one pass), so
// that a frame never queues behind another and the record read after it is
// the newest.
void awaitLineRoom(const VOK::StopSource& stop);

}  // namespace servo_controller
