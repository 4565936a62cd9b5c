// The shipped libframe_relay.so and the stand-alone frame_relay program,
// also under viewers that never read and under a storm of short visits.
// Both are pointed at the broker of the test by its index in pidof's list,
// in case other brokers run on the machine.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "MjpegPart.h"
#include "brokerIndex.h"
#include "vok_itest.h"

namespace {

using namespace std::chrono_literals;
using vok_itest::BrokerProcess;
using vok_itest::StartedProcess;

const char ringName[] = "ZentorMotion(ZM)Shm";

#if defined(__arm__) || defined(__i386__)
constexpr uint32_t frameRecordSize = 81924;
#elif defined(__aarch64__) || defined(__x86_64__)
constexpr uint32_t frameRecordSize = 81928;
#else
#error "record layout of this architecture not known"
#endif

// What a process holds: open descriptors and threads.
struct HostLoad {
  size_t descriptors = 0;
  size_t threads = 0;
  bool operator==(const HostLoad& other) const {
    return descriptors == other.descriptors && threads == other.threads;
  }
};

size_t entriesOf(const std::string& folder) {
  std::error_code error;
  size_t count = 0;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    ++count;
  }
  return count;
}

HostLoad loadOf(pid_t pid) {
  const std::string proc = "/proc/" + std::to_string(pid);
  return {entriesOf(proc + "/fd"), entriesOf(proc + "/task")};
}

// Whether the process comes back to holding what it held before within timeout.
bool returnsTo(pid_t pid, const HostLoad& before, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  HostLoad now = loadOf(pid);
  while (!(now == before) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(100ms);
    now = loadOf(pid);
  }
  EXPECT_EQ(now.descriptors, before.descriptors);
  EXPECT_EQ(now.threads, before.threads);
  return now == before;
}

TEST(VideoRelayLibrary, ExportsFourUnmangledEntryPoints) {
  StartedProcess nm({"/usr/bin/nm", "-D", "--defined-only", FRAME_RELAY_PATH});
  ASSERT_EQ(nm.waitForExit(30s), 0) << nm.errors();
  const std::string symbols = nm.output();
  for (const char* name : {"VOK_connect", "VOK_connect1", "VOK_receive", "VOK_disconnect"}) {
    EXPECT_NE(symbols.find(std::string(" T ") + name + "\n"), std::string::npos) << name;
  }
}

// The log lines of one receive call. The relay's reader, dispatcher and stream
// server log from their own threads in their own time (late under an
// emulator), so only the lines of receive itself are kept.
std::string capturedLog(int (*receive)(void*, char*, int), char* buffer, int length, int& result) {
  testing::internal::CaptureStdout();
  result = receive(nullptr, buffer, length);
  std::istringstream lines(testing::internal::GetCapturedStdout());
  std::string kept;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("C::receive()): ") != std::string::npos) {
      kept += line + "\n";
    }
  }
  return kept;
}

TEST(VideoRelayLibrary, RefusesOversizeLengthsAndSecondReceive) {
  BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  void* library = dlopen(FRAME_RELAY_PATH, RTLD_NOW | RTLD_NODELETE);
  ASSERT_NE(library, nullptr) << dlerror();
  auto connect1 = reinterpret_cast<int (*)(int)>(dlsym(library, "VOK_connect1"));
  auto receive = reinterpret_cast<int (*)(void*, char*, int)>(dlsym(library, "VOK_receive"));
  auto disconnect = reinterpret_cast<int (*)()>(dlsym(library, "VOK_disconnect"));
  ASSERT_TRUE(connect1 && receive && disconnect);
  static char buffer[81921];
  int result = 0;
  const std::string oversize = "ERR: (ZentorMotion(ZM)C::receive()): parameter oversize\n";
  EXPECT_EQ(capturedLog(receive, buffer, 81921, result), oversize);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(capturedLog(receive, buffer, -1, result), oversize);
  EXPECT_EQ(result, 2);

  ASSERT_EQ(connect1(static_cast<int>(brokerIndexOf(broker.pid()))), 0);
  EXPECT_EQ(receive(nullptr, buffer, 81920), 0);
  EXPECT_EQ(capturedLog(receive, buffer, 81920, result),
            "ERR: (ZentorMotion(ZM)C::receive()): calling twice not supported\n");
  EXPECT_EQ(result, 2);
  EXPECT_EQ(disconnect(), 0);
  EXPECT_EQ(broker.interrupt(10s), 0);
  // Without its broker the library's reader ends and takes its stream server along.
  EXPECT_TRUE(streamEnds(15000));
}

// A timeout of 0 would close every viewer whose socket is full for a
// moment; a frame period of 0 would send every frame to every viewer.
TEST(VideoRelayProgramLine, RefusesClientTimeoutAndFramePeriodOutOfRange) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> refusals{
      {{"--client-timeout", "0"}, "--client-timeout must be 1 to 86400 seconds\n"},
      {{"--client-timeout", "86401"}, "--client-timeout must be 1 to 86400 seconds\n"},
      {{"--frame-period-us", "0"}, "--frame-period-us must be 1 to 3600000000 microseconds\n"},
      {{"--frame-period-us", "3600000001"}, "--frame-period-us must be 1 to 3600000000 microseconds\n"}};
  for (const auto& [arguments, reason] : refusals) {
    std::vector<std::string> line{FRAME_RELAY_PROGRAM_PATH};
    line.insert(line.end(), arguments.begin(), arguments.end());
    StartedProcess relay(line);
    EXPECT_EQ(relay.waitForExit(10s), 255) << arguments[1];
    EXPECT_NE(relay.output().find("ERR: (ZentorMotion(ZM)consumer/src/main): " + reason),
              std::string::npos)
        << relay.output();
  }
}

// The stand-alone relay with the stand-in camera and a broker of its own;
// stalled stream clients are dropped after 2 s. Set up once the relay has
// streamed its first frame, so its descriptors and threads are settled.
class VideoRelayProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(broker.waitForSocketFile(10s));
    camera = std::make_unique<StartedProcess>(
        std::vector<std::string>{FRAME_FEED_HOST_PATH, FRAME_FEED_PATH, std::to_string(broker.pid())});
    relay = std::make_unique<StartedProcess>(std::vector<std::string>{
        FRAME_RELAY_PROGRAM_PATH, "-s", std::to_string(brokerIndexOf(broker.pid())), "-l", "20",
        "--client-timeout", "2"});
    ASSERT_TRUE(relay->waitForOutput("I am consumer reading providers memory", 20s))
        << relay->output() << broker.output();
    ASSERT_TRUE(relay->waitForOutput("ZM_RECEIVED[0]", 20s)) << relay->output();
  }

  void TearDown() override {
    relay->sendSignal(SIGINT);
    EXPECT_EQ(relay->waitForExit(10s), 0) << relay->output();
    camera->sendSignal(SIGINT);
    EXPECT_EQ(camera->waitForExit(10s), 0) << camera->errors();
    EXPECT_FALSE(vok_itest::fileExists(std::string("/dev/shm/") + ringName));
    EXPECT_EQ(broker.interrupt(10s), 0);
  }

  // Whether the relay has logged closing count stalled clients within timeout.
  bool relayClosedStalledClients(size_t count, std::chrono::milliseconds timeout) const {
    const std::string line = "a client took no bytes within its time-out, closed\n";
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      const std::string output = relay->output();
      size_t closed = 0;
      for (size_t at = output.find(line); at != std::string::npos; at = output.find(line, at + 1)) {
        ++closed;
      }
      if (closed >= count || std::chrono::steady_clock::now() > deadline) {
        return closed >= count;
      }
      std::this_thread::sleep_for(100ms);
    }
  }

  vok_itest::ShmLeftovers leftovers{{ringName}};
  BrokerProcess broker{VOK_APP_PATH, {"-c", "2"}};
  std::unique_ptr<StartedProcess> camera;
  std::unique_ptr<StartedProcess> relay;
};

// The camera stand-in's ring as a consumer on the same architecture finds it:
// segments of the frame record's size (81924 bytes on 32-bit boards, 81928 on
// 64-bit ones) and an object of exactly 16 + count * size bytes.
TEST_F(VideoRelayProgram, CameraRingSegmentsHoldTheFrameRecordOfThisArchitecture) {
  const std::string path = std::string("/dev/shm/") + ringName;
  unsigned char header[16] = {};
  std::ifstream ring(path, std::ios::binary);
  ASSERT_TRUE(ring.read(reinterpret_cast<char*>(header), sizeof(header)));
  uint32_t segmentCount = 0, segmentSize = 0;
  std::memcpy(&segmentCount, header + 4, 4);
  std::memcpy(&segmentSize, header + 8, 4);
  ASSERT_NE(segmentCount, 0u);
  EXPECT_EQ(segmentSize, frameRecordSize);
  struct stat object {};
  ASSERT_EQ(::stat(path.c_str(), &object), 0);
  EXPECT_EQ(static_cast<uint64_t>(object.st_size), 16 + uint64_t{segmentCount} * segmentSize);
}

TEST_F(VideoRelayProgram, ViewersThatNeverReadLoseTheirSlotsToAFreshViewer) {
  const HostLoad before = loadOf(relay->pid());
  std::vector<std::unique_ptr<StreamClient>> stalled;
  for (int i = 0; i < 10; ++i) {
    stalled.push_back(std::make_unique<StreamClient>(2020));
    ASSERT_TRUE(stalled.back()->send("GET / HTTP/1.1\r\nHost: board\r\n\r\n"));
  }
  StreamClient viewer(2020);
  EXPECT_FALSE(viewer.anythingWithin(1000)) << "all ten slots should be taken";
  EXPECT_EQ(viewer.read(212, 30000).size(), 212u);
  EXPECT_TRUE(decodesAsJpeg(readPart(viewer, 10000).image, 320, 240));
  // The viewer takes the first freed slot; the others follow in their own time.
  EXPECT_TRUE(relayClosedStalledClients(10, 15s));
  for (auto& client : stalled) {
    EXPECT_TRUE(client->closedByServer(5000));
  }
  stalled.clear();
  viewer.close();
  EXPECT_TRUE(returnsTo(relay->pid(), before, 10s));
}

// Then a fresh viewer is served until the program stops, which ends its stream.
TEST_F(VideoRelayProgram, ThousandConnectAndCloseCyclesLeaveNothingBehindAndSigintEndsTheStream) {
  const HostLoad before = loadOf(relay->pid());
  std::atomic<int> unserved{0};
  std::vector<std::thread> browsers;
  for (int b = 0; b < 10; ++b) {
    browsers.emplace_back([&unserved] {
      for (int cycle = 0; cycle < 100; ++cycle) {
        try {
          StreamClient client(2020);
          unserved += client.read(1, 10000).size() == 1 ? 0 : 1;
        } catch (const std::runtime_error&) {
          ++unserved;
        }
      }
    });
  }
  for (auto& browser : browsers) {
    browser.join();
  }
  EXPECT_EQ(unserved, 0);
  EXPECT_FALSE(relay->hasExited());
  EXPECT_TRUE(returnsTo(relay->pid(), before, 10s));

  auto viewer = connectToStream(10000);
  ASSERT_NE(viewer, nullptr);
  ASSERT_EQ(viewer->read(212, 10000).size(), 212u);
  const MjpegPart part = readPart(*viewer, 10000);
  EXPECT_TRUE(decodesAsJpeg(part.image, 320, 240)) << part.contentLength;
  relay->sendSignal(SIGINT);
  EXPECT_EQ(relay->waitForExit(10s), 0) << relay->output();
  EXPECT_NE(relay->output().find("Log: (ZentorMotion(ZM)consumer/src/main): Caught Stop-signal\n"),
            std::string::npos);
  EXPECT_TRUE(viewer->closedByServer(2000)) << "the stream ends with the program";
}

}  // namespace
