#pragma once

#include <pthread.h>

// The system calls under the frame relay's threads, so that tests can make
// thread creation fail.
class IRelayFunctions {
 public:
  virtual ~IRelayFunctions() = default;
  // pthread_create(3): 0 or an error number.
  virtual int _pthread_create(pthread_t* thread, void* (*start)(void*), void* argument) = 0;
  // munlockall(2): 0 or -1.
  virtual int _munlockall() = 0;
};
