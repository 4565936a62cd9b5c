// shm_torn_writer NAME SEGMENTS SECONDS: creates ring NAME and writes counter
// records into it as fast as it can for SECONDS, then prints how many.
#include "ClockUtils.h"
#include "ConsistentDataTransfer.h"
#include "SharedMemoryWrapperLinux.h"
#include "VokShm.h"
#include "tornRecord.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s NAME SEGMENTS SECONDS\n", argv[0]);
    return 2;
  }
  const unsigned segments = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
  const auto duration = std::chrono::seconds(std::strtoul(argv[3], nullptr, 10));
  VOK::VokShm shm(argv[1], 16 + segments * sizeof(CounterRecord),
                  std::make_shared<VOK::SharedMemoryWrapperLinux>(), true);
  auto watchdog = std::make_shared<VOK::TimeDiffWatchdog>(
      0, new VOK::ClockUtils(new VOK::ClockWrapperLinux()));
  VOK::ConsistentDataTransfer ring(segments, shm.getShmAdr(), sizeof(CounterRecord), watchdog);
  std::printf("ready\n");
  std::fflush(stdout);
  CounterRecord record;
  unsigned long long counter = 0;
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    // Between two looks at the time, a burst without any pause.
    for (int burst = 0; burst < 1000; ++burst) {
      record.fill(++counter);
      ring.writeUserData(&record);
    }
  }
  std::printf("written %llu\n", counter);
  return 0;
}
