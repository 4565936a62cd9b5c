#pragma once

#include <semaphore.h>

#include "UserDataStruct.h"

namespace servo_controller {

// Bench-test data pump: fills a record with test patterns, one per post of
// semDataReceived, and stops the controller after the last one.

// Paces the pump; initialised by initDataPumpSemaphore.
extern sem_t semDataReceived;
// The record that test() hands to the pump.
extern UserDataStruct testUserDataStruct;

// Initialises semDataReceived (process-private, count 0) once per process;
// later calls do nothing, so that destroying it at stop is always valid.
void initDataPumpSemaphore();

// Destroys semDataReceived if it was initialised.
void destroyDataPumpSemaphore();

// Starts the pump on testUserDataStruct; 0, or 2 after logging
// "unable to create thread" when no thread could be started.
int test();

// The pump's thread body; target is a UserDataStruct. Two passes over the
// values 1..21 (flag 0, then 1); per value waits once on semDataReceived and
// sets values 0,3 to the flag, 13 to 0, 1,4 to v % 10 and 2,5 to
// max(v, 9) - 9. Requests the process's stop after the 42nd value.
void* fillTestData(void* target);

}  // namespace servo_controller
