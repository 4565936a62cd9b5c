#pragma once

#include <semaphore.h>
#include <time.h>

#include <functional>

namespace VOK {

// One sleep call: 0 when it ran its full length, or -1 with errno set and,
// when errno is EINTR, the time still to sleep in remaining.
using SleepCall = std::function<int(const timespec* request, timespec* remaining)>;

// The one loop that resumes interrupted sleeps: calls sleepOnce until it has
// slept the whole request, going on with the time left after each signal.
// Other failures end the sleep; their errno stays set for the caller.
void sleepResuming(timespec request, const SleepCall& sleepOnce);

// Waits on semaphore until it could be decremented, through any signals.
void waitResuming(sem_t& semaphore);

// The pause that a polling step costs when nothing happened: 10 ms, through
// any signals. Loops that must end on a stop wait on a StopSource instead.
void pollPause();

}  // namespace VOK
