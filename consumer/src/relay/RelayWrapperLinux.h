#pragma once

#include "IRelayFunctions.h"

// Forwards every call to the Linux function of the same name.
class RelayWrapperLinux : public IRelayFunctions {
 public:
  int _pthread_create(pthread_t* thread, void* (*start)(void*), void* argument) override;
  int _munlockall() override;
};
