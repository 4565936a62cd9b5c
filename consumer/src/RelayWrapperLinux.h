#pragma once

#include "IRelayFunctions.h"

// Forwards every call to the Linux function of the same name.
class RelayWrapperLinux : public IRelayFunctions {
 public:
  int _pthread_create(pthread_t* thread, void* (*start)(void*), void* argument) override;
  int _mlockall(int flags) override;
  int _munlockall() override;
  int _sched_setscheduler(int policy, const sched_param* parameter) override;
  int _sigaction(int signal, const struct sigaction* action) override;
};
