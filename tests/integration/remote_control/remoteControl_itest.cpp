// The remote-control path with real parts: VOK_App, the Python interpreter
// with _CommandFeed, servo_controller and a pseudo-terminal as serial line.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PythonCommand.h"
#include "SerialLine.h"
#include "UserDataStruct.h"
#include "vok_itest.h"

using namespace std::chrono_literals;
using testing::HasSubstr;
using testing::Not;
using vok_itest::pythonCommand;

namespace {

const std::string kShmName = "/Remote_open_control_kit_enabled_target_(Zentor)Shm";
const std::string kShmFile = "/dev/shm" + kShmName;

// Waits up to timeout for pred.
template <typename Pred>
bool eventually(Pred pred, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (!pred() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(20ms);
  }
  return pred();
}

// The provider's ring as another process sees it: the 16-byte header and
// the newest segment.
struct RingSnapshot {
  uint16_t marker = 0;
  uint32_t count = 0;
  uint32_t size = 0;
  uint32_t last = 0;
  off_t objectSize = 0;
  std::vector<unsigned char> newest;
};

RingSnapshot readRing(const std::string& name) {
  RingSnapshot ring;
  int fd = shm_open(name.c_str(), O_RDONLY, 0);
  if (fd < 0) {
    return ring;
  }
  struct stat info {};
  fstat(fd, &info);
  ring.objectSize = info.st_size;
  void* map = mmap(nullptr, info.st_size, PROT_READ, MAP_SHARED, fd, 0);
  close(fd);
  if (map == MAP_FAILED) {
    return ring;
  }
  auto bytes = static_cast<const unsigned char*>(map);
  memcpy(&ring.marker, bytes, 2);
  memcpy(&ring.count, bytes + 4, 4);
  memcpy(&ring.size, bytes + 8, 4);
  memcpy(&ring.last, bytes + 12, 4);
  if (ring.last < ring.count && 16 + uint64_t(ring.count) * ring.size <= uint64_t(info.st_size)) {
    const unsigned char* segment = bytes + 16 + size_t(ring.last) * ring.size;
    ring.newest.assign(segment, segment + ring.size);
  }
  munmap(map, info.st_size);
  return ring;
}

class RemoteControlTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!serial.linked()) {
      GTEST_SKIP() << "/dev/serial0 exists; this test never replaces it";
    }
  }

  vok_itest::ShmLeftovers leftovers{{kShmName}};
  vok_itest::SerialLine serial{"/dev/serial0"};
};

TEST_F(RemoteControlTest, ThreeSentValuesReachTheSerialLineAsOneFrame) {
  vok_itest::BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));

  vok_itest::StartedProcess feed(pythonCommand({FEED_SCRIPT, "\x01\x0b\x0f"}));
  ASSERT_TRUE(feed.waitForOutput("publishing True", 30s)) << feed.output() << feed.errors();

  vok_itest::BrokerProcess servo(SERVO_CONTROLLER_PATH, {});
  EXPECT_EQ(servo.commandStatus(), 0);
  EXPECT_THAT(servo.output(), HasSubstr("going into daemon mode"));

  // The other end of the line: one frame per pass, all alike; the values
  // not sent stay at the neutral ones the feed starts with.
  const std::string frame = "1BF88888888888D";
  std::string line = serial.read(4 * frame.size(), 15s);
  ASSERT_EQ(line.substr(0, frame.size()), frame) << servo.output() << servo.errors();
  EXPECT_EQ(line, frame + frame + frame + frame);
  EXPECT_TRUE(eventually([&] { return servo.errors().find("RECEIVED: ") != std::string::npos; }, 2s));
  EXPECT_THAT(servo.errors(),
              HasSubstr("RECEIVED: 0x1,0xb,0xf,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0xd\n"));
  EXPECT_THAT(servo.output(), HasSubstr("I am consumer reading providers memory"));

  // A second publisher is refused; an empty send changes nothing.
  EXPECT_THAT(feed.output(), HasSubstr("connect 0\nsend 0\n"));
  EXPECT_THAT(feed.output(), HasSubstr("second connect -1\nempty send 0\n"));

  // The ring read from outside: header, then the values right after the
  // object word of the newest segment, unchanged by the servo's end mark.
  RingSnapshot ring = readRing(kShmName);
  EXPECT_EQ(ring.marker, 1);
  EXPECT_GE(ring.count, 2u);
  EXPECT_EQ(ring.size, sizeof(UserDataStruct));
  EXPECT_LT(ring.last, ring.count);
  EXPECT_EQ(ring.objectSize, off_t(16 + uint64_t(ring.count) * ring.size));
  ASSERT_EQ(ring.newest.size(), sizeof(UserDataStruct));
  std::vector<unsigned char> values(ring.newest.begin() + sizeof(void*),
                                    ring.newest.begin() + sizeof(void*) + 15);
  std::vector<unsigned char> expected(15, 8);
  expected[14] = 13;
  expected[0] = 1;
  expected[1] = 0x0b;
  expected[2] = 0x0f;
  EXPECT_EQ(values, expected);

  // SIGINT ends the controller in order.
  EXPECT_EQ(servo.interrupt(5s), std::optional<int>(0)) << servo.output() << servo.errors();
  EXPECT_THAT(servo.output(), HasSubstr("Caught Stop-signal"));
  EXPECT_THAT(servo.output(), Not(HasSubstr("ERR: ")));

  // SIGINT ends the publisher; it removes its ring and the interpreter goes on.
  feed.sendSignal(SIGINT);
  EXPECT_EQ(feed.waitForExit(10s), std::optional<int>(0)) << feed.errors();
  EXPECT_THAT(feed.output(), HasSubstr("stopped True"));
  EXPECT_THAT(feed.output(), HasSubstr("Caught Stop-signal"));
  EXPECT_FALSE(vok_itest::fileExists(kShmFile));

  EXPECT_EQ(broker.interrupt(5s), std::optional<int>(0));
}

}  // namespace
