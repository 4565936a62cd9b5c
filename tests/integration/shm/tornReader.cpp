// shm_torn_reader NAME SECONDS: reads the newest record of ring NAME for
// SECONDS with a lifetime of 0 ms (a copy counts only if both clock readings
// fall into the same microsecond) and prints what it accepted and rejected.
// Exits 1 when it accepted a mixed record. "overlaps" counts the times the
// segment being written was caught half done, outside the ring's read path.
#include "ClockUtils.h"
#include "ConsistentDataTransfer.h"
#include "SharedMemoryWrapperLinux.h"
#include "VokShm.h"
#include "tornRecord.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Whether the segment after the newest one, which the writer fills next, is
// caught half written: shows that writer and reader really ran at once.
bool caughtMidWrite(const VOK::BufferHeader* header, CounterRecord& probe) {
  const uint32_t next = (__atomic_load_n(&header->lastValidSegment, __ATOMIC_ACQUIRE) + 1) %
                        header->segmentCount;
  const auto* segment = reinterpret_cast<const unsigned char*>(header + 1) + next * sizeof(CounterRecord);
  std::memcpy(probe.data, segment + sizeof(void*), CounterRecord::kDataBytes);
  return !probe.isUniform();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s NAME SECONDS\n", argv[0]);
    return 2;
  }
  const auto duration = std::chrono::seconds(std::strtoul(argv[2], nullptr, 10));
  VOK::VokShm shm(argv[1], 16, std::make_shared<VOK::SharedMemoryWrapperLinux>(), false);
  const auto* announced = static_cast<const VOK::BufferHeader*>(shm.getShmAdr());
  shm.resizeSharedMemory(16 + static_cast<size_t>(announced->segmentCount) * announced->segmentSize);
  const auto* header = static_cast<const VOK::BufferHeader*>(shm.getShmAdr());
  auto watchdog = std::make_shared<CountingWatchdog>();
  VOK::ConsistentDataTransfer ring(shm.getShmAdr(), shm.getSize(), sizeof(CounterRecord), watchdog);
  CounterRecord record;
  unsigned long long accepted = 0;
  unsigned long long mixed = 0;
  unsigned long long changes = 0;
  unsigned long long overlaps = 0;
  CounterRecord probe;
  unsigned char last = 0;
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    if (!ring.readUserData(&record)) {
      continue;
    }
    overlaps += caughtMidWrite(header, probe) ? 1 : 0;
    ++accepted;
    mixed += record.isUniform() ? 0 : 1;
    changes += record.data[0] != last ? 1 : 0;
    last = record.data[0];
  }
  std::printf("accepted %llu rejected %llu mixed %llu changes %llu overlaps %llu\n", accepted,
              watchdog->rejected, mixed, changes, overlaps);
  return mixed == 0 ? 0 : 1;
}
