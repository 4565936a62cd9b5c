// shm_torn_reader NAME SECONDS: reads the newest record of ring NAME for
// SECONDS with a lifetime of 0 ms (a copy counts only if both clock readings
// fall into the same microsecond) and prints what it accepted and rejected.
// Exits 1 when it accepted a mixed record.
#include "ClockUtils.h"
#include "ConsistentDataTransfer.h"
#include "SharedMemoryWrapperLinux.h"
#include "VokShm.h"
#include "tornRecord.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Counts the copies the ring throws away for being too slow.
class CountingWatchdog : public VOK::TimeDiffWatchdog {
 public:
  CountingWatchdog() : TimeDiffWatchdog(0, new VOK::ClockUtils(new VOK::ClockWrapperLinux())) {}
  bool TimeOut() const override {
    const bool late = TimeDiffWatchdog::TimeOut();
    rejected += late ? 1 : 0;
    return late;
  }
  mutable unsigned long long rejected = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s NAME SECONDS\n", argv[0]);
    return 2;
  }
  const auto duration = std::chrono::seconds(std::strtoul(argv[2], nullptr, 10));
  VOK::VokShm shm(argv[1], 16, std::make_shared<VOK::SharedMemoryWrapperLinux>(), false);
  const auto* header = static_cast<const VOK::BufferHeader*>(shm.getShmAdr());
  shm.resizeSharedMemory(16 + static_cast<size_t>(header->segmentCount) * header->segmentSize);
  auto watchdog = std::make_shared<CountingWatchdog>();
  VOK::ConsistentDataTransfer ring(shm.getShmAdr(), shm.getSize(), sizeof(CounterRecord), watchdog);
  CounterRecord record;
  unsigned long long accepted = 0;
  unsigned long long mixed = 0;
  unsigned long long changes = 0;
  unsigned char last = 0;
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    if (!ring.readUserData(&record)) {
      continue;
    }
    ++accepted;
    mixed += record.isUniform() ? 0 : 1;
    changes += record.data[0] != last ? 1 : 0;
    last = record.data[0];
  }
  std::printf("accepted %llu rejected %llu mixed %llu changes %llu\n", accepted,
              watchdog->rejected, mixed, changes);
  return mixed == 0 ? 0 : 1;
}
