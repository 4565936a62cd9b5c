// The camera stand-in's ring as a consumer on the same architecture finds it:
// segments of the frame record's size (81924 bytes on 32-bit boards, 81928 on
// 64-bit ones) and an object of exactly 16 + count * size bytes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <thread>

#include "vok_itest.h"

namespace {

using namespace std::chrono_literals;

#if defined(__arm__) || defined(__i386__)
constexpr uint32_t frameRecordSize = 81924;
#elif defined(__aarch64__) || defined(__x86_64__)
constexpr uint32_t frameRecordSize = 81928;
#else
#error "record layout of this architecture not known"
#endif

const char ringPath[] = "/dev/shm/ZentorMotion(ZM)Shm";

struct RingHeader {
  uint32_t segmentCount = 0;
  uint32_t segmentSize = 0;
};

// The header once the provider has laid it out (count set), else zeros.
RingHeader readHeader() {
  unsigned char bytes[16] = {};
  std::ifstream ring(ringPath, std::ios::binary);
  RingHeader header;
  if (ring.read(reinterpret_cast<char*>(bytes), sizeof(bytes))) {
    std::memcpy(&header.segmentCount, bytes + 4, 4);
    std::memcpy(&header.segmentSize, bytes + 8, 4);
  }
  return header;
}

TEST(CameraProviderRing, SegmentsHoldTheFrameRecordOfThisArchitecture) {
  vok_itest::ShmLeftovers leftovers({"ZentorMotion(ZM)Shm"});
  // One app: the broker answers the camera's environment request at once.
  vok_itest::BrokerProcess broker(VOK_APP_PATH, {"-c", "1"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  vok_itest::StartedProcess camera({FRAME_FEED_HOST_PATH, FRAME_FEED_PATH, std::to_string(broker.pid())});

  RingHeader header;
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while ((header = readHeader()).segmentCount == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(20ms);
  }
  ASSERT_NE(header.segmentCount, 0u) << camera.output() << broker.output();
  EXPECT_EQ(header.segmentSize, frameRecordSize);
  struct stat object {};
  ASSERT_EQ(::stat(ringPath, &object), 0);
  EXPECT_EQ(static_cast<uint64_t>(object.st_size), 16 + uint64_t{header.segmentCount} * header.segmentSize);

  camera.sendSignal(SIGINT);
  EXPECT_EQ(camera.waitForExit(10s), 0) << camera.errors();
  EXPECT_EQ(broker.interrupt(10s), 0);
}

}  // namespace
