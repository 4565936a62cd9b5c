#pragma once

#include <time.h>

#include <cstdint>

namespace VOK {

// The futex calls on a word in shared memory (never the private variants, so
// that waiter and waker may be different processes), one forwarding method
// each. Results and errno are those of futex(2).
class IFutexFunctions {
 public:
  virtual ~IFutexFunctions() = default;
  // FUTEX_WAIT: 0 when woken; -1 with errno EAGAIN (*word was not expected),
  // ETIMEDOUT (timeout, relative, passed) or EINTR (a signal handler ran).
  // A read-only mapping of the word is enough.
  virtual int _futex_wait(const uint32_t* word, uint32_t expected, const timespec* timeout) = 0;
  // FUTEX_WAKE: the number of waiters woken, or -1 with errno set.
  virtual int _futex_wake(uint32_t* word, int count) = 0;
};

}  // namespace VOK
