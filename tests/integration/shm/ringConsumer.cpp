// shm_ring_consumer NAME LIFETIME_MS: attaches to ring NAME through a
// connection object, reports how its mapping is protected, then reads the
// newest record every 10 ms until SIGINT and reports each new counter value
// and finally the last one.
#include "localEnvironment.h"
#include "sampleRecord.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }

// The permission field of this process's mapping of /dev/shm/NAME.
std::string permissionsOf(const std::string& name) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find("/dev/shm" + name) != std::string::npos) {
      return line.substr(line.find(' ') + 1, 4);
    }
  }
  return "none";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s NAME LIFETIME_MS\n", argv[0]);
    return 2;
  }
  std::signal(SIGINT, requestStop);
  std::unique_ptr<VOK::VokConnection> connection =
      localConnection(std::strtoull(argv[2], nullptr, 10));
  VOK::ConsistentDataTransfer ring =
      connection->connectToExistingLifetimeBuffer(argv[1], sizeof(SampleRecord), 0);
  std::printf("mapping %s\n", permissionsOf(argv[1]).c_str());
  std::fflush(stdout);
  SampleRecord record;
  unsigned long long shown = 0;
  while (!stopRequested) {
    if (ring.readUserData(&record) && record.counter != shown) {
      shown = record.counter;
      std::printf("newest %llu %s\n", shown, record.text);
      std::fflush(stdout);
    }
    ::usleep(10000);
  }
  std::printf("last %llu\n", shown);
  return 0;
}
