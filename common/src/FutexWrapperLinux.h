#pragma once

#include "IFutexFunctions.h"

namespace VOK {

// IFutexFunctions over the futex system call.
class FutexWrapperLinux : public IFutexFunctions {
 public:
  int _futex_wait(const uint32_t* word, uint32_t expected, const timespec* timeout) override;
  int _futex_wake(uint32_t* word, int count) override;
};

}  // namespace VOK
