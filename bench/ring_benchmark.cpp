// One writeUserData + readUserData round through a heap ring, for the two
// record sizes of the system on 64-bit boards, next to the two memcpys that
// are the least such a round can cost. Names follow bench/report:
// "ring_<bytes>" and its baseline "ring_<bytes>_baseline". A read costs two
// clock readings, so "ring_clock_read" shows the price of one.
#include "ClockUtils.h"
#include "ConsistentDataTransfer.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const size_t kLargest = 81928;
const unsigned kSegments = 8;

struct Record : VOK::IVOKBaseDataStruct {
  unsigned char data[kLargest] = {};
  std::list<Symbol> getSymbolList() const override { return {}; }
};

void ringRound(benchmark::State& state, size_t segmentSize) {
  std::vector<unsigned char> memory(16 + kSegments * segmentSize);
  auto watchdog = std::make_shared<VOK::TimeDiffWatchdog>(
      10, new VOK::ClockUtils(new VOK::ClockWrapperLinux()));
  VOK::ConsistentDataTransfer writer(kSegments, memory.data(), segmentSize, watchdog);
  VOK::ConsistentDataTransfer reader(memory.data(), memory.size(), segmentSize, watchdog);
  auto source = std::make_unique<Record>();
  auto target = std::make_unique<Record>();
  for (auto _ : state) {
    source->data[0]++;
    writer.writeUserData(source.get());
    benchmark::DoNotOptimize(reader.readUserData(target.get()));
    benchmark::ClobberMemory();
  }
}

void twoCopies(benchmark::State& state, size_t segmentSize) {
  std::vector<unsigned char> source(segmentSize, 1);
  std::vector<unsigned char> segment(segmentSize);
  std::vector<unsigned char> target(segmentSize);
  for (auto _ : state) {
    source[0]++;
    std::memcpy(segment.data(), source.data(), segmentSize);
    benchmark::ClobberMemory();
    std::memcpy(target.data(), segment.data(), segmentSize);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
}

void clockRead(benchmark::State& state) {
  VOK::ClockUtils clock(new VOK::ClockWrapperLinux());
  for (auto _ : state) {
    benchmark::DoNotOptimize(clock.getCurrentTimeInUs());
  }
}

void registerSize(size_t segmentSize) {
  const std::string name = "ring_" + std::to_string(segmentSize);
  benchmark::RegisterBenchmark(name.c_str(), ringRound, segmentSize);
  benchmark::RegisterBenchmark((name + "_baseline").c_str(), twoCopies, segmentSize);
}

}  // namespace

int main(int argc, char** argv) {
  registerSize(20);
  registerSize(kLargest);
  benchmark::RegisterBenchmark("ring_clock_read", clockRead);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
