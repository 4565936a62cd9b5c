// A host process for the stand-in camera outside the broker:
//   frame_feed_host LIBRARY BROKER_PID
// loads LIBRARY, starts it with VOK_connect1(BROKER_PID) and runs until
// SIGINT or SIGTERM; returning lets the camera remove its ring.
#include <dlfcn.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s LIBRARY BROKER_PID\n", argv[0]);
    return 2;
  }
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);  // the camera's thread inherits the mask

  void* library = dlopen(argv[1], RTLD_NOW);
  if (library == nullptr) {
    std::fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  auto connect1 = reinterpret_cast<int (*)(int)>(dlsym(library, "VOK_connect1"));
  if (connect1 == nullptr || connect1(std::atoi(argv[2])) != 0) {
    std::fprintf(stderr, "VOK_connect1 failed\n");
    return 1;
  }
  int received = 0;
  sigwait(&stopSignals, &received);
  return 0;
}
