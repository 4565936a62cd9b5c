#pragma once

#include <pthread.h>
#include <sched.h>
#include <signal.h>

// The system calls under the frame relay's threads and its stand-alone
// entry, so that tests can make thread creation fail.
class IRelayFunctions {
 public:
  virtual ~IRelayFunctions() = default;
  // pthread_create(3): 0 or an error number.
  virtual int _pthread_create(pthread_t* thread, void* (*start)(void*), void* argument) = 0;
  // mlockall(2): 0 or -1.
  virtual int _mlockall(int flags) = 0;
  // munlockall(2): 0 or -1.
  virtual int _munlockall() = 0;
  // sched_setscheduler(2) for the calling process: 0 or -1.
  virtual int _sched_setscheduler(int policy, const sched_param* parameter) = 0;
  // sigaction(2): 0 or -1.
  virtual int _sigaction(int signal, const struct sigaction* action) = 0;
};
