#include "pollPause.h"

#include <cerrno>

namespace VOK {

void sleepResuming(timespec request, const SleepCall& sleepOnce) {
  timespec remaining{};
  while (sleepOnce(&request, &remaining) != 0 && errno == EINTR) {
    request = remaining;
  }
}

void waitResuming(sem_t& semaphore) {
  while (::sem_wait(&semaphore) != 0 && errno == EINTR) {
  }
}

void pollPause() {
  const long pauseNs = 10000000L;
  sleepResuming({0, pauseNs},
                [](const timespec* request, timespec* remaining) { return ::nanosleep(request, remaining); });
}

}  // namespace VOK
