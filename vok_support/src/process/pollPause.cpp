#include "pollPause.h"

#include <cerrno>

namespace VOK {

namespace {
constexpr long long kNanosecondsPerSecond = 1000000000LL;
}

void sleepResuming(timespec request, const SleepCall& sleepOnce) {
  timespec remaining{};
  while (sleepOnce(&request, &remaining) != 0 && errno == EINTR) {
    request = remaining;
  }
}

void sleepNanoseconds(long nanoseconds) {
  sleepResuming({nanoseconds / kNanosecondsPerSecond, nanoseconds % kNanosecondsPerSecond},
                [](const timespec* request, timespec* remaining) {
                  return ::nanosleep(request, remaining);
                });
}

// An absolute sleep cut short goes on towards the same deadline.
void sleepUntilMonotonic(const timespec& deadline) {
  sleepResuming(deadline, [](const timespec* request, timespec* remaining) {
    const int failure = ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, request, nullptr);
    if (failure == 0) {
      return 0;
    }
    errno = failure;
    *remaining = *request;
    return -1;
  });
}

timespec addNanoseconds(timespec deadline, long long nanoseconds) {
  const long long total = deadline.tv_nsec + nanoseconds;
  deadline.tv_sec += static_cast<time_t>(total / kNanosecondsPerSecond);
  deadline.tv_nsec = static_cast<long>(total % kNanosecondsPerSecond);
  if (deadline.tv_nsec < 0) {
    deadline.tv_nsec += kNanosecondsPerSecond;
    --deadline.tv_sec;
  }
  return deadline;
}

void waitResuming(sem_t& semaphore) {
  while (::sem_wait(&semaphore) != 0 && errno == EINTR) {
  }
}

void pollPause() { sleepNanoseconds(10000000L); }

}  // namespace VOK
