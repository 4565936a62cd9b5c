#include "pollPause.h"

#include <cerrno>
#include <ctime>

namespace VOK {

void sleepNanoseconds(long nanoseconds) {
  timespec wanted{nanoseconds / 1000000000L, nanoseconds % 1000000000L};
  timespec left{};
  while (::nanosleep(&wanted, &left) != 0 && errno == EINTR) {
    wanted = left;
  }
}

void pollPause() {
  sleepNanoseconds(10000000L);
}

}  // namespace VOK
