#pragma once

namespace broker {

// The dynamic loader calls under the broker's test mode, so that a missing
// library or symbol can be simulated.
class IDynamicLoader {
 public:
  virtual ~IDynamicLoader() = default;
  // dlopen(3): a handle, or null with the reason in _dlerror().
  virtual void* _dlopen(const char* path, int flags) = 0;
  // dlsym(3): the symbol's address, or null.
  virtual void* _dlsym(void* handle, const char* name) = 0;
  // dlerror(3): the last error text, or null when none; clears it.
  virtual const char* _dlerror() = 0;
  // dlclose(3): 0 on success.
  virtual int _dlclose(void* handle) = 0;
};

}  // namespace broker
