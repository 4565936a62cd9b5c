#include "RelayWrapperLinux.h"

#include <sys/mman.h>

int RelayWrapperLinux::_pthread_create(pthread_t* thread, void* (*start)(void*), void* argument) {
  return ::pthread_create(thread, nullptr, start, argument);
}

int RelayWrapperLinux::_munlockall() { return ::munlockall(); }
