#include "RelayWrapperLinux.h"

#include <sys/mman.h>

int RelayWrapperLinux::_pthread_create(pthread_t* thread, void* (*start)(void*), void* argument) {
  return ::pthread_create(thread, nullptr, start, argument);
}

int RelayWrapperLinux::_mlockall(int flags) { return ::mlockall(flags); }

int RelayWrapperLinux::_munlockall() { return ::munlockall(); }

int RelayWrapperLinux::_sched_setscheduler(int policy, const sched_param* parameter) {
  return ::sched_setscheduler(0, policy, parameter);
}

int RelayWrapperLinux::_sigaction(int signal, const struct sigaction* action) {
  return ::sigaction(signal, action, nullptr);
}
