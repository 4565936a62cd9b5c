// shm_ring_provider NAME LIFETIME_MS CYCLE_US: creates ring NAME through a
// connection object and writes a counter record every CYCLE_US until
// SIGINT; then releases the connection (which unlinks NAME) and reports.
#include "localEnvironment.h"
#include "sampleRecord.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {
volatile std::sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }
}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s NAME LIFETIME_MS CYCLE_US\n", argv[0]);
    return 2;
  }
  std::signal(SIGINT, requestStop);
  const unsigned long long cycleUs = std::strtoull(argv[3], nullptr, 10);
  std::unique_ptr<VOK::VokConnection> connection =
      localConnection(std::strtoull(argv[2], nullptr, 10));
  SampleRecord record;
  VOK::ConsistentDataTransfer ring = connection->addLifetimeBuffer(
      argv[1], "counter samples", "0.1", 0, record, cycleUs, sizeof(SampleRecord));
  std::printf("segments %u\n", connection->getSegmentCount());
  std::fflush(stdout);
  while (!stopRequested) {
    ++record.counter;
    std::snprintf(record.text, sizeof(record.text), "sample %llu", record.counter);
    ring.writeUserData(&record);
    ::usleep(static_cast<useconds_t>(cycleUs));
  }
  connection.reset();
  std::printf("released after %llu\n", record.counter);
  return 0;
}
