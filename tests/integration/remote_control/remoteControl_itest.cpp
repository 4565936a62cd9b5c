// The remote-control path with real parts: VOK_App, the Python interpreter
// with _CommandFeed, servo_controller and a pseudo-terminal as serial line.
#include <signal.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PythonCommand.h"
#include "ServoLineTest.h"
#include "UserDataStruct.h"
#include "vok_itest.h"

using namespace std::chrono_literals;
using testing::HasSubstr;
using testing::Not;

namespace {

const std::string kShmName = "/Remote_open_control_kit_enabled_target_(Zentor)Shm";
const std::string kShmFile = "/dev/shm" + kShmName;

// The provider's ring as another process sees it: the 16-byte header and
// the newest segment.
struct RingSnapshot {
  uint16_t marker = 0;
  uint32_t count = 0;
  uint32_t size = 0;
  uint32_t last = 0;
  uint64_t objectSize = 0;
  std::vector<unsigned char> newest;
};

RingSnapshot readRing(const std::string& file) {
  const std::string bytes = vok_itest::readFile(file);
  RingSnapshot ring;
  ring.objectSize = bytes.size();
  if (bytes.size() < 16) {
    return ring;
  }
  memcpy(&ring.marker, bytes.data(), 2);
  memcpy(&ring.count, bytes.data() + 4, 4);
  memcpy(&ring.size, bytes.data() + 8, 4);
  memcpy(&ring.last, bytes.data() + 12, 4);
  if (ring.last < ring.count && 16 + uint64_t(ring.count) * ring.size <= bytes.size()) {
    const char* segment = bytes.data() + 16 + size_t(ring.last) * ring.size;
    ring.newest.assign(segment, segment + ring.size);
  }
  return ring;
}

class RemoteControlTest : public vok_itest::ServoLineTest {
 protected:
  // The broker, feed.py on feedArguments once it publishes, then the
  // controller on servoArguments.
  void startChain(const std::vector<std::string>& feedArguments, const std::vector<std::string>& servoArguments) {
    broker.emplace(VOK_APP_PATH, std::vector<std::string>{"-c", "2"});
    ASSERT_TRUE(broker->waitForSocketFile(10s));
    std::vector<std::string> feedCommand{FEED_SCRIPT};
    feedCommand.insert(feedCommand.end(), feedArguments.begin(), feedArguments.end());
    feed.emplace(vok_itest::pythonCommand(feedCommand));
    ASSERT_TRUE(feed->waitForOutput("publishing True", 30s)) << feed->output() << feed->errors();
    servo.emplace(SERVO_CONTROLLER_PATH, servoArguments);
    EXPECT_EQ(servo->commandStatus(), 0);
  }

  // Ends the controller, then the feed, then the broker, each in order.
  void stopChain() {
    EXPECT_EQ(servo->interrupt(5s), std::optional<int>(0)) << servo->output() << servo->errors();
    feed->sendSignal(SIGINT);
    EXPECT_EQ(feed->waitForExit(10s), std::optional<int>(0)) << feed->errors();
    EXPECT_EQ(broker->interrupt(5s), std::optional<int>(0));
  }

  vok_itest::ShmLeftovers leftovers{{kShmName, kShmName + "Wake"}};
  std::optional<vok_itest::BrokerProcess> broker;
  std::optional<vok_itest::StartedProcess> feed;
  std::optional<vok_itest::BrokerProcess> servo;
};

TEST_F(RemoteControlTest, ThreeSentValuesReachTheSerialLineAsOneFrame) {
  ASSERT_NO_FATAL_FAILURE(startChain({"\x01\x0b\x0f"}, {}));
  EXPECT_THAT(servo->output(), HasSubstr("going into daemon mode"));

  // The other end of the line: one frame per pass, all alike; the values
  // not sent stay at the neutral ones the feed starts with.
  const std::string frame = "1BF88888888888D";
  std::string line = serial.read(4 * frame.size(), 15s);
  ASSERT_EQ(line.substr(0, frame.size()), frame) << servo->output() << servo->errors();
  EXPECT_EQ(line, frame + frame + frame + frame);
  EXPECT_TRUE(vok_itest::eventually([&] { return servo->errors().find("RECEIVED: ") != std::string::npos; }, 2s));
  EXPECT_THAT(servo->errors(),
              HasSubstr("RECEIVED: 0x1,0xb,0xf,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0x8,0xd\n"));
  EXPECT_THAT(servo->output(), HasSubstr("I am consumer reading providers memory"));

  // A second publisher is refused; an empty send changes nothing.
  EXPECT_THAT(feed->output(), HasSubstr("connect 0\nsend 0\n"));
  EXPECT_THAT(feed->output(), HasSubstr("second connect -1\nempty send 0\n"));

  // The ring read from outside: header, then the values right after the
  // object word of the newest segment, unchanged by the servo's end mark.
  RingSnapshot ring = readRing(kShmFile);
  EXPECT_EQ(ring.marker, 1);
  EXPECT_GE(ring.count, 2u);
  EXPECT_EQ(ring.size, sizeof(UserDataStruct));
  EXPECT_LT(ring.last, ring.count);
  EXPECT_EQ(ring.objectSize, 16 + uint64_t(ring.count) * ring.size);
  ASSERT_EQ(ring.newest.size(), sizeof(UserDataStruct));
  const std::vector<unsigned char> values(ring.newest.begin() + sizeof(void*),
                                          ring.newest.begin() + sizeof(void*) + 15);
  EXPECT_EQ(values, (std::vector<unsigned char>{1, 0x0b, 0x0f, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 13}));

  // SIGINT ends the controller in order; SIGINT ends the publisher, which
  // removes its ring, and the interpreter goes on.
  stopChain();
  EXPECT_THAT(servo->output(), HasSubstr("Caught Stop-signal"));
  EXPECT_THAT(servo->output(), Not(HasSubstr("ERR: ")));
  EXPECT_THAT(feed->output(), HasSubstr("stopped True"));
  EXPECT_THAT(feed->output(), HasSubstr("Caught Stop-signal"));
  EXPECT_FALSE(vok_itest::fileExists(kShmFile));
}

// Woken by records: the publisher writes a change at once and the
// controller sends it as soon as it is written. No older frame follows the
// change, and the wake-up signal beside the ring goes with the ring.
TEST_F(RemoteControlTest, WokenChainPutsEveryChangeOnTheLineInOrder) {
  ASSERT_NO_FATAL_FAILURE(startChain({"\x01", "\x02"}, {"--wake-on-record"}));
  EXPECT_TRUE(vok_itest::fileExists(kShmFile + "Wake"));

  const std::string first = "18888888888888D", later = "28888888888888D";
  std::string line;
  while (line.find(later) == std::string::npos) {
    const std::string more = serial.read(first.size(), 15s);
    ASSERT_FALSE(more.empty()) << line << servo->output() << servo->errors() << feed->output();
    line += more;
  }
  EXPECT_EQ(line.find(first, line.find(later)), std::string::npos) << line;
  EXPECT_THAT(servo->output(), Not(HasSubstr("reading by the pass alone")));

  stopChain();
  EXPECT_FALSE(vok_itest::fileExists(kShmFile + "Wake"));
}

}  // namespace
