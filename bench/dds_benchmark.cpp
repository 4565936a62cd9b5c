// A record from its ring write to its delivery by DDS to another process on
// loopback, through the bridge's own steps (ring read, sample, DDS write),
// next to the ring alone (write, then read): "dds_camera_20000" (a frame
// with a 20000-byte JPEG image, best effort) and "dds_command_15" (the 15
// channel values, reliable), each with its "_baseline". Times are from the
// write to the moment the receiving process took the sample (the monotonic
// clock is the same in both processes); one record in flight at a time, so
// the items rate is the frames per second of that pace. The bridge looks at
// its ring every 5 ms, which comes on top.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include "ClockUtils.h"
#include "ConsistentDataTransfer.h"
#include "DdsWrapperCyclone.h"
#include "bridgeTopics.h"
#include "cameraImage.h"
#include "commandArray.h"

namespace {

using dds_bridge::DdsEndpoint;

constexpr uint32_t kDomain = 43;
constexpr unsigned kSegments = 8;
constexpr size_t kImageBytes = 20000;
constexpr int kAckTimeoutMs = 2000;

int64_t monotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

// A ring on the heap with a writer and a reader, for records of type Record.
template <typename Record>
struct HeapRing {
  HeapRing()
      : memory(16 + kSegments * sizeof(Record)),
        watchdog(std::make_shared<VOK::TimeDiffWatchdog>(10, new VOK::ClockUtils(new VOK::ClockWrapperLinux()))),
        writer(kSegments, memory.data(), sizeof(Record), watchdog),
        reader(memory.data(), memory.size(), sizeof(Record), watchdog) {}
  std::vector<unsigned char> memory;
  std::shared_ptr<VOK::TimeDiffWatchdog> watchdog;
  VOK::ConsistentDataTransfer writer;
  VOK::ConsistentDataTransfer reader;
  std::unique_ptr<Record> written = std::make_unique<Record>();
  std::unique_ptr<Record> read = std::make_unique<Record>();
};

// The receiving process: takes every sample of topic and writes the moment
// it took it to ack, until the parent goes.
[[noreturn]] void receive(const dds_bridge::TopicSpec& topic, int ack) {
  const dds_entity_t participant = dds_create_participant(kDomain, nullptr, nullptr);
  const dds_entity_t topicEntity = dds_create_topic(participant, topic.type, topic.name.c_str(), nullptr, nullptr);
  dds_qos_t* qos = dds_create_qos();
  dds_qset_history(qos, DDS_HISTORY_KEEP_LAST, 1);
  dds_qset_reliability(
      qos, topic.delivery == dds_bridge::Delivery::Reliable ? DDS_RELIABILITY_RELIABLE : DDS_RELIABILITY_BEST_EFFORT,
      DDS_SECS(1));
  const dds_entity_t reader = dds_create_reader(participant, topicEntity, qos, nullptr);
  dds_delete_qos(qos);
  const dds_entity_t waitset = dds_create_waitset(participant);
  dds_set_status_mask(reader, DDS_DATA_AVAILABLE_STATUS);
  dds_waitset_attach(waitset, reader, reader);
  while (getppid() != 1) {
    dds_waitset_wait(waitset, nullptr, 0, DDS_MSECS(200));
    void* samples[1] = {nullptr};
    dds_sample_info_t info;
    while (dds_take(reader, samples, &info, 1, 1) > 0) {
      const int64_t taken = monotonicNs();
      if (info.valid_data && write(ack, &taken, sizeof(taken)) != sizeof(taken)) {
        std::_Exit(1);
      }
      dds_return_loan(reader, samples, 1);
    }
  }
  std::_Exit(0);
}

// A receiving process for topic and the parent's writer on it.
struct Station {
  explicit Station(const dds_bridge::TopicSpec& topic) {
    int fds[2];
    if (pipe(fds) != 0) {
      std::abort();
    }
    child = fork();
    if (child == 0) {
      close(fds[0]);
      receive(topic, fds[1]);
    }
    close(fds[1]);
    ack = fds[0];
    writer = std::make_unique<DdsEndpoint>(std::make_shared<dds_bridge::DdsWrapperCyclone>(), kDomain, topic,
                                           dds_bridge::Role::Writer);
  }
  ~Station() {
    writer.reset();
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    close(ack);
  }
  // When the station took the sample written last; -1 after the time-out.
  int64_t taken() {
    pollfd wait{ack, POLLIN, 0};
    int64_t at = -1;
    if (poll(&wait, 1, kAckTimeoutMs) != 1 || read(ack, &at, sizeof(at)) != sizeof(at)) {
      return -1;
    }
    return at;
  }
  pid_t child;
  int ack;
  std::unique_ptr<DdsEndpoint> writer;
};

// Runs rounds of send (which writes one record into the ring and returns
// when it was written) timed to the station's take; sends until the station
// has matched before timing.
void timeRounds(benchmark::State& state, Station& station, const std::function<int64_t()>& send) {
  for (int attempt = 0; attempt < 100 && (send(), station.taken() < 0); ++attempt) {
  }
  for (auto _ : state) {
    const int64_t written = send();
    const int64_t taken = station.taken();
    if (taken < 0) {
      state.SkipWithError("a sample was not delivered within 2 s");
      break;
    }
    state.SetIterationTime(static_cast<double>(taken - written) / 1e9);
  }
  state.SetItemsProcessed(state.iterations());
}

void cameraOverDds(benchmark::State& state) {
  Station station(dds_bridge::cameraTopic());
  HeapRing<camera_record::UserDataStruct> ring;
  int8_t* image = ring.written->bramixmotionData;
  std::memset(image, 0x55, kImageBytes);
  const int8_t marker = static_cast<int8_t>(0xFF);
  image[0] = image[kImageBytes - 2] = marker;
  image[1] = static_cast<int8_t>(0xD8);
  image[kImageBytes - 1] = static_cast<int8_t>(0xD9);
  timeRounds(state, station, [&] {
    ++image[2];
    const int64_t written = monotonicNs();
    ring.writer.writeUserData(ring.written.get());
    ring.reader.readUserData(ring.read.get());
    const auto sample = dds_bridge::compressedImageOf(*ring.read, {0, 0});
    station.writer->write(&*sample);
    return written;
  });
}

void commandOverDds(benchmark::State& state) {
  Station station(dds_bridge::commandTopic());
  HeapRing<remote_control_record::UserDataStruct> ring;
  timeRounds(state, station, [&] {
    ring.written->bramixData[0] = static_cast<int8_t>((ring.written->bramixData[0] + 1) & 0x0F);
    const int64_t written = monotonicNs();
    ring.writer.writeUserData(ring.written.get());
    ring.reader.readUserData(ring.read.get());
    const dds_bridge::CommandArray array(dds_bridge::channelValuesOf(*ring.read));
    station.writer->write(&array.sample());
    return written;
  });
}

// The ring's own part: from the write to the end of the read.
template <typename Record>
void ringAlone(benchmark::State& state) {
  HeapRing<Record> ring;
  for (auto _ : state) {
    const int64_t written = monotonicNs();
    ring.writer.writeUserData(ring.written.get());
    benchmark::DoNotOptimize(ring.reader.readUserData(ring.read.get()));
    state.SetIterationTime(static_cast<double>(monotonicNs() - written) / 1e9);
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
  // Loopback only, unless the caller configured Cyclone otherwise.
  setenv("CYCLONEDDS_URI", "file://" LOOPBACK_CONFIG, 0);
  benchmark::RegisterBenchmark("dds_camera_20000", cameraOverDds)->UseManualTime();
  benchmark::RegisterBenchmark("dds_camera_20000_baseline", ringAlone<camera_record::UserDataStruct>)->UseManualTime();
  benchmark::RegisterBenchmark("dds_command_15", commandOverDds)->UseManualTime();
  benchmark::RegisterBenchmark("dds_command_15_baseline", ringAlone<remote_control_record::UserDataStruct>)
      ->UseManualTime();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
