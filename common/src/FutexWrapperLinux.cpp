#include "FutexWrapperLinux.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace VOK {

int FutexWrapperLinux::_futex_wait(const uint32_t* word, uint32_t expected, const timespec* timeout) {
  return static_cast<int>(::syscall(SYS_futex, word, FUTEX_WAIT, expected, timeout, nullptr, 0));
}

int FutexWrapperLinux::_futex_wake(uint32_t* word, int count) {
  return static_cast<int>(::syscall(SYS_futex, word, FUTEX_WAKE, count, nullptr, nullptr, 0));
}

}  // namespace VOK
