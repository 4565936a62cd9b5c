#pragma once

#include "IDynamicLoader.h"

namespace broker {

// Forwards every call unchanged to the loader function of the same name.
class DynamicLoaderLinux : public IDynamicLoader {
 public:
  void* _dlopen(const char* path, int flags) override;
  void* _dlsym(void* handle, const char* name) override;
  const char* _dlerror() override;
  int _dlclose(void* handle) override;
};

}  // namespace broker
