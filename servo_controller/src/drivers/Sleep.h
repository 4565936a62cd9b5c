#pragma once

#include <memory>

#include "ISleepFunctions.h"

// The process-wide sleep layer of the drivers (default: the real one).
// Throws std::invalid_argument for a null pointer.
void sleepUseFunctions(std::shared_ptr<ISleepFunctions> functions);

// The layer set last.
ISleepFunctions& sleepFunctions();

// Sleeps ms milliseconds in full, resuming with the time left whenever a
// signal interrupts the sleep; gives up only on any other error.
void sleepResuming(unsigned ms);
