// The broker's self-test: it loads the stand-in camera provider and the
// video relay library from its working directory and starts both, so that
// they sign in like ordinary apps.
#include "testMode.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>

#include "DynamicLoaderLinux.h"
#include "configurationData.h"
#include "testModeLoader.h"

namespace broker {

namespace {

const char kConsumerPath[] = ".//libframe_relay.so";
const char kProviderPath[] = ".//libFrameFeed.so";
const char kConsumerAppName[] = "ZentorMotion(ZM)";
const int kConsumerdataSize = 81920;

// RTLD_NODELETE: the libraries' threads run until the process ends, so
// closing a handle must never unmap their code under them.
const int kOpenFlags = RTLD_NOW | RTLD_NODELETE;

void* testConsumerHandle = nullptr;
void* testProviderHandle = nullptr;
char consumerdata[kConsumerdataSize];

std::shared_ptr<IDynamicLoader>& loaderSlot() {
  static std::shared_ptr<IDynamicLoader> loader = std::make_shared<DynamicLoaderLinux>();
  return loader;
}

IDynamicLoader& loader() { return *loaderSlot(); }

// The loader's own message on standard error, then exit status 1 without clean-up.
[[noreturn]] void loaderFailed(const char* reason) {
  std::fprintf(stderr, "%s\n", reason != nullptr ? reason : "dynamic loader error");
  std::fflush(stderr);
  std::exit(1);
}

void* openOrExit(const char* path) {
  void* handle = loader()._dlopen(path, kOpenFlags);
  if (handle == nullptr) {
    loaderFailed(loader()._dlerror());
  }
  return handle;
}

template <typename Function>
Function resolveOrExit(void* handle, const char* name) {
  loader()._dlerror();
  void* symbol = loader()._dlsym(handle, name);
  const char* reason = loader()._dlerror();
  if (reason != nullptr) {
    loaderFailed(reason);
  }
  return reinterpret_cast<Function>(symbol);
}

void closeHandle(void*& handle) {
  if (handle != nullptr) {
    loader()._dlclose(handle);
    handle = nullptr;
  }
}

}  // namespace

void testModeUseLoader(std::shared_ptr<IDynamicLoader> replacement) {
  if (!replacement) {
    throw std::invalid_argument("testModeUseLoader: loader must not be null");
  }
  loaderSlot() = std::move(replacement);
}

void launchTestProvider(unsigned pid) {
  testProviderHandle = openOrExit(kProviderPath);
  auto connect1 = resolveOrExit<int (*)(int)>(testProviderHandle, "VOK_connect1");
  connect1(static_cast<int>(pid));
}

void launchTestConsumer() {
  testConsumerHandle = openOrExit(kConsumerPath);
  auto connect = resolveOrExit<int (*)()>(testConsumerHandle, "VOK_connect");
  connect();
}

void receiveTestConsumer() {
  if (testConsumerHandle == nullptr) {
    return;
  }
  auto receive = resolveOrExit<int (*)(void*, char*, int)>(testConsumerHandle, "VOK_receive");
  receive(nullptr, consumerdata, kConsumerdataSize);
}

void testReceiveHook(const ConfigurationData& app, void (*hook)()) {
  const std::string& name = app.getAppData().getApplicationName();
  if (name.compare(0, sizeof(kConsumerAppName) - 1, kConsumerAppName) == 0) {
    return;
  }
  if (hook != nullptr) {
    hook();
  }
}

void closeTestProvider() { closeHandle(testProviderHandle); }

void closeTestConsumer() { closeHandle(testConsumerHandle); }

}  // namespace broker
