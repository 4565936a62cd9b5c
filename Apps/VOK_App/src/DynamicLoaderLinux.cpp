#include "DynamicLoaderLinux.h"

#include <dlfcn.h>

namespace broker {

void* DynamicLoaderLinux::_dlopen(const char* path, int flags) { return ::dlopen(path, flags); }

void* DynamicLoaderLinux::_dlsym(void* handle, const char* name) { return ::dlsym(handle, name); }

const char* DynamicLoaderLinux::_dlerror() { return ::dlerror(); }

int DynamicLoaderLinux::_dlclose(void* handle) { return ::dlclose(handle); }

}  // namespace broker
