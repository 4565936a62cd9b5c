// The DDS bridge with real parts: VOK_App (its test mode's camera, or the
// operator tool's values), vok_dds_bridge, a DDS station of the test's own
// (dds_probe, on Cyclone's C API) and servo_controller on a pseudo-terminal.
// Cyclone runs on loopback only with the example configuration, and across
// two network namespaces joined by a veth pair with the LAN example.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <ctime>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PythonCommand.h"
#include "SerialLine.h"
#include "VideoFolder.h"
#include "vok_itest.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Argv = std::vector<std::string>;

const std::string kDomain = "42";
const std::string kCameraRing = "ZentorMotion(ZM)Shm";
const std::string kCommandRing = "/Remote_open_control_kit_enabled_target_(Zentor)Shm";
const std::string kDrive = "1,11,15,8,8,8,8,8,8,8,8,8,8,8,13";  // the tool's "set 1,11,15"
const std::string kDriveFrame = "1BF88888888888D";
const std::string kSteer = "3,3,3,8,8,8,8,8,8,8,8,8,8,8,13";
const std::string kSteerFrame = "33388888888888D";
const std::string kNeutralFrame = "88888888888888D";
constexpr size_t kFrame = 15;

template <typename Pred>
bool eventually(Pred pred, std::chrono::milliseconds timeout) {
  const auto end = Clock::now() + timeout;
  while (!pred() && Clock::now() < end) {
    std::this_thread::sleep_for(20ms);
  }
  return pred();
}

double realSeconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

std::string everything(const vok_itest::StartedProcess& process) { return process.output() + process.errors(); }

bool exitsWith(vok_itest::ChildProcess& process, int signal, int status) {
  process.sendSignal(signal);
  return process.waitForExit(10s) == std::optional<int>(status);
}

// One "image ..." line of the probe.
struct Image {
  std::string format;
  bool jpeg = false;
  std::string digest;
  double stamp = 0;
};

std::vector<Image> imagesIn(const std::string& output) {
  std::vector<Image> images;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    char format[32] = {}, jpeg[8] = {}, digest[32] = {};
    unsigned bytes = 0;
    double stamp = 0;
    if (std::sscanf(line.c_str(), "image format=%31s bytes=%u jpeg=%7s digest=%31s stamp=%lf", format, &bytes, jpeg,
                    digest, &stamp) == 5) {
      images.push_back({format, std::string(jpeg) == "yes", digest, stamp});
    }
  }
  return images;
}

// A command as its host starts it: the host's prefix (none: this machine) first.
Argv on(Argv host, const Argv& command) {
  host.insert(host.end(), command.begin(), command.end());
  return host;
}

// The camera of the broker's test mode through the bridge to the probe: the
// broker and the bridge on the board, the probe on the station, each host
// given by its command prefix. The broker shares the bridge's network
// namespace, whose socket table tells apps which broker listens.
void expectCameraFramesAcross(const Argv& board, const Argv& station) {
  vok_itest::ShmLeftovers leftovers({kCameraRing});
  VideoFolder folder(true, true);
  const double start = realSeconds();
  vok_itest::BrokerProcess broker(VOK_APP_PATH, {"-t", "1", "-c", "3"}, folder.path(), 10s, board);
  ASSERT_TRUE(broker.waitForSocketFile(10s)) << broker.output();
  vok_itest::StartedProcess bridge(on(board, {DDS_BRIDGE_PATH, "--publish", "camera", "--domain", kDomain}));
  vok_itest::StartedProcess probe(on(station, {DDS_PROBE_PATH, kDomain, "camera", "8", "30"}));
  ASSERT_EQ(probe.waitForExit(40s), std::optional<int>(0))
      << everything(probe) << everything(bridge) << broker.output();
  const std::vector<Image> images = imagesIn(probe.output());
  ASSERT_EQ(images.size(), 8u) << probe.output();
  std::set<std::string> digests;
  for (const Image& image : images) {
    EXPECT_EQ(image.format, "jpeg");
    EXPECT_TRUE(image.jpeg) << probe.output();
    EXPECT_GE(image.stamp, start - 1);
    EXPECT_LE(image.stamp, realSeconds() + 1);
    digests.insert(image.digest);
  }
  EXPECT_GE(digests.size(), 4u) << "the camera's picture moves: " << probe.output();
  EXPECT_TRUE(exitsWith(bridge, SIGINT, 0)) << everything(bridge);
  EXPECT_EQ(broker.interrupt(10s), std::optional<int>(0));
}

class DdsBridgeTest : public testing::Test {
 protected:
  void SetUp() override {
    ::setenv("CYCLONEDDS_URI", "file://" DDS_CONFIG_DIR "/loopback.xml", 1);
  }
};

TEST_F(DdsBridgeTest, CameraTopicCarriesDistinctJpegFramesWhileTheTestModeBrokerRuns) {
  expectCameraFramesAcross({}, {});
}

TEST_F(DdsBridgeTest, CommandTopicCarriesTheValuesTheFeedSends) {
  vok_itest::ShmLeftovers leftovers({kCommandRing});
  vok_itest::BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  vok_itest::StartedProcess tool(vok_itest::pythonCommand({TOOL_SCRIPT, "set", "1,11,15"}));
  ASSERT_TRUE(eventually([] { return vok_itest::fileExists("/dev/shm" + kCommandRing); }, 30s)) << tool.errors();
  // Without a configuration the bridge stays on loopback, where the probe
  // finds it by unicast: Cyclone's own default (multicast on the first
  // other interface) would not meet it.
  ::unsetenv("CYCLONEDDS_URI");
  vok_itest::StartedProcess bridge({DDS_BRIDGE_PATH, "--publish", "command", "--domain", kDomain});
  SetUp();  // the probe's configuration again
  vok_itest::StartedProcess probe({DDS_PROBE_PATH, kDomain, "command", "4", "30"});
  ASSERT_EQ(probe.waitForExit(40s), std::optional<int>(0)) << everything(probe) << everything(bridge);
  // The tool starts on the neutral values, then sends its own.
  const std::string drive = "command " + kDrive;
  std::vector<std::string> lines;
  std::istringstream output(probe.output());
  for (std::string line; std::getline(output, line);) {
    lines.push_back(line);
  }
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), drive);
  EXPECT_THAT(lines, testing::Each(testing::AnyOf(drive, "command 8,8,8,8,8,8,8,8,8,8,8,8,8,8,13")));
  EXPECT_TRUE(exitsWith(bridge, SIGINT, 0)) << everything(bridge);
  EXPECT_TRUE(exitsWith(tool, SIGTERM, 0)) << everything(tool);
  EXPECT_EQ(broker.interrupt(10s), std::optional<int>(0));
}

// The line read in whole frames, from a clean start.
class ServoLine {
 public:
  explicit ServoLine(vok_itest::SerialLine& serial) : serial(serial) {}
  // Whether frame arrives by deadline.
  bool shows(const std::string& frame, Clock::time_point deadline) {
    while (Clock::now() < deadline) {
      received += serial.read(kFrame, 20ms);
      for (; checked + kFrame <= received.size(); checked += kFrame) {
        frames.insert(received.substr(checked, kFrame));
        if (received.compare(checked, kFrame, frame) == 0) {
          checked += kFrame;
          return true;
        }
      }
    }
    return false;
  }
  // Every distinct frame seen so far.
  std::set<std::string> frames;

 private:
  vok_itest::SerialLine& serial;
  std::string received;
  size_t checked = 0;
};

size_t occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// Two stations: the first drives, the second's values reach the line only
// once the first has been silent for the failsafe time.
TEST_F(DdsBridgeTest, OneStationDrivesTheServoLineAtATimeAndTheNeutralFrameFollowsWithinTheFailsafeTime) {
  vok_itest::SerialLine serial("/dev/serial0");
  if (!serial.linked()) {
    GTEST_SKIP() << "/dev/serial0 exists; this test never replaces it";
  }
  // Without DDS Security commands are taken only when the operator says so.
  vok_itest::StartedProcess refused({DDS_BRIDGE_PATH, "--subscribe", "command", "--domain", kDomain});
  EXPECT_EQ(refused.waitForExit(10s), std::optional<int>(2)) << everything(refused);
  EXPECT_THAT(refused.output(), testing::HasSubstr("Not taking remote commands: the Cyclone DDS configuration has no "
                                                   "DDS Security"));
  ServoLine line(serial);
  vok_itest::ShmLeftovers leftovers({kCommandRing});
  vok_itest::BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  vok_itest::StartedProcess bridge({DDS_BRIDGE_PATH, "--subscribe", "command", "--domain", kDomain, "--failsafe",
                                    "500", "--allow-unauthenticated"});
  ASSERT_TRUE(eventually([] { return vok_itest::fileExists("/dev/shm" + kCommandRing); }, 15s)) << everything(bridge);
  EXPECT_THAT(bridge.output(), testing::HasSubstr("Warning: remote commands from unauthenticated writers"));
  vok_itest::BrokerProcess servo(SERVO_CONTROLLER_PATH, {});
  ASSERT_TRUE(line.shows(kNeutralFrame, Clock::now() + 15s)) << "before any command" << servo.output();

  vok_itest::StartedProcess first({DDS_PROBE_PATH, kDomain, "send", kDrive, "4"});
  ASSERT_TRUE(line.shows(kDriveFrame, Clock::now() + 10s)) << everything(first) << everything(bridge);
  // The second outlasts the first by two seconds at least.
  vok_itest::StartedProcess second({DDS_PROBE_PATH, kDomain, "send", kSteer, "6"});
  while (!first.hasExited()) {
    ASSERT_FALSE(line.shows(kSteerFrame, Clock::now() + 50ms)) << "the second station drove while the first did" << everything(bridge);
  }
  EXPECT_EQ(first.waitForExit(1s), std::optional<int>(0)) << everything(first);
  EXPECT_TRUE(line.shows(kSteerFrame, Clock::now() + 2s)) << "the second drives once the first is gone";
  ASSERT_EQ(second.waitForExit(10s), std::optional<int>(0)) << everything(second);
  const auto stopped = Clock::now();
  // The bridge's failsafe, then at most one pass of the controller.
  EXPECT_TRUE(line.shows(kNeutralFrame, stopped + 500ms + 300ms)) << testing::PrintToString(line.frames);
  EXPECT_EQ(line.frames, (std::set<std::string>{kNeutralFrame, kDriveFrame, kSteerFrame}));
  EXPECT_EQ(occurrences(bridge.output(), "Refused the commands of writer "), 1u) << bridge.output();
  EXPECT_THAT(bridge.output(), testing::HasSubstr("Remote commands lost: none for 500 ms, writing the neutral values"));

  EXPECT_EQ(servo.interrupt(5s), std::optional<int>(0));
  EXPECT_TRUE(exitsWith(bridge, SIGTERM, 0)) << everything(bridge);
  EXPECT_FALSE(vok_itest::fileExists("/dev/shm" + kCommandRing)) << "the bridge removes its ring";
  EXPECT_EQ(broker.interrupt(5s), std::optional<int>(0));
}

// A CA, the identities vok-board and vok-station each in a folder of its own
// with the signed governance and permissions of the examples, as the comment
// of security.xml makes them; all removed again.
class SecurityFolder {
 public:
  SecurityFolder() {
    char name[] = "/tmp/vok_dds_security.XXXXXX";
    if (::mkdtemp(name) == nullptr) {
      return;
    }
    path = name;
    const std::string script =
        "set -e; cd '" + path + "'; "
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=VOK DDS CA' -keyout ca_key.pem -out ca.pem; "
        "for who in board station; do mkdir $who; cp ca.pem $who/; "
        "openssl req -newkey rsa:2048 -nodes -subj /CN=vok-$who -keyout $who/key.pem -out $who.csr; "
        "openssl x509 -req -days 2 -in $who.csr -CA ca.pem -CAkey ca_key.pem -CAcreateserial -out $who/identity.pem; "
        "for rules in governance permissions; do openssl smime -sign -text -in " DDS_CONFIG_DIR "/$rules.xml "
        "-signer ca.pem -inkey ca_key.pem -out $who/$rules.p7s; done; done";
    vok_itest::StartedProcess openssl({"/bin/sh", "-c", script});
    made = openssl.waitForExit(30s) == std::optional<int>(0);
    log = everything(openssl);
  }
  ~SecurityFolder() { std::filesystem::remove_all(path); }
  SecurityFolder(const SecurityFolder&) = delete;
  SecurityFolder& operator=(const SecurityFolder&) = delete;

  // The prefix that runs a command on loopback with DDS Security as who.
  Argv as(const std::string& who) const {
    return {"/usr/bin/env", "CYCLONEDDS_URI=file://" DDS_CONFIG_DIR "/security.xml", "VOK_DDS_INTERFACE=lo",
            "VOK_DDS_PEER=127.0.0.1", "VOK_DDS_SECURITY=" + path + "/" + who};
  }

  std::string path;
  bool made = false;
  std::string log;
};

// With DDS Security in the configuration the bridge needs no
// --allow-unauthenticated, and a station without an identity of the CA never
// drives, not even while no other one does.
TEST_F(DdsBridgeTest, WithDdsSecurityOnlyAnAuthenticatedStationDrives) {
  vok_itest::SerialLine serial("/dev/serial0");
  if (!serial.linked()) {
    GTEST_SKIP() << "/dev/serial0 exists; this test never replaces it";
  }
  SecurityFolder security;
  ASSERT_TRUE(security.made) << security.log;
  ServoLine line(serial);
  vok_itest::ShmLeftovers leftovers({kCommandRing});
  vok_itest::BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  vok_itest::StartedProcess bridge(on(security.as("board"), {DDS_BRIDGE_PATH, "--subscribe", "command", "--domain", kDomain}));
  ASSERT_TRUE(eventually([] { return vok_itest::fileExists("/dev/shm" + kCommandRing); }, 15s)) << everything(bridge);
  EXPECT_THAT(bridge.output(), testing::HasSubstr("Remote commands only from authenticated writers (DDS Security)"));
  vok_itest::BrokerProcess servo(SERVO_CONTROLLER_PATH, {});
  ASSERT_TRUE(line.shows(kNeutralFrame, Clock::now() + 15s)) << "before any command" << servo.output();

  vok_itest::StartedProcess intruder({DDS_PROBE_PATH, kDomain, "send", kSteer, "3"});
  while (!intruder.hasExited()) {
    ASSERT_FALSE(line.shows(kSteerFrame, Clock::now() + 50ms)) << "an unauthenticated station drove";
  }
  vok_itest::StartedProcess station(on(security.as("station"), {DDS_PROBE_PATH, kDomain, "send", kDrive, "5"}));
  EXPECT_TRUE(line.shows(kDriveFrame, Clock::now() + 15s)) << everything(station) << everything(bridge);
  EXPECT_EQ(station.waitForExit(15s), std::optional<int>(0)) << everything(station);
  EXPECT_EQ(line.frames.count(kSteerFrame), 0u);

  EXPECT_EQ(servo.interrupt(5s), std::optional<int>(0));
  EXPECT_TRUE(exitsWith(bridge, SIGTERM, 0)) << everything(bridge);
  EXPECT_EQ(broker.interrupt(5s), std::optional<int>(0));
}

// Two network namespaces joined by a veth pair, each with one end, stand for
// the board and a station; both are removed again, with the pair.
class TwoMachines {
 public:
  TwoMachines() {
    const std::string id = std::to_string(::getpid() % 100000);
    for (int i = 0; i < 2; ++i) {
      names[i] = "vokdds" + id + (i == 0 ? "a" : "b");
      links[i] = "vkd" + id + (i == 0 ? "a" : "b");
    }
    made = run({"ip", "netns", "add", names[0]}) && run({"ip", "netns", "add", names[1]}) &&
           run({"ip", "link", "add", links[0], "type", "veth", "peer", "name", links[1]});
    for (int i = 0; made && i < 2; ++i) {
      made = run({"ip", "link", "set", links[i], "netns", names[i]}) &&
             run({"ip", "-n", names[i], "addr", "add", address(i) + "/24", "dev", links[i]}) &&
             run({"ip", "-n", names[i], "link", "set", links[i], "up"}) &&
             run({"ip", "-n", names[i], "link", "set", "lo", "up"});
    }
  }
  ~TwoMachines() {
    for (const std::string& name : names) {
      run({"ip", "netns", "delete", name});
    }
    // Only left when a namespace could not take its end.
    run({"ip", "link", "delete", links[0]});
  }
  TwoMachines(const TwoMachines&) = delete;
  TwoMachines& operator=(const TwoMachines&) = delete;

  bool ready() const { return made; }
  // The prefix that runs a command on machine i (0 or 1), with the LAN
  // configuration naming its end of the pair and the other's address.
  Argv on(int i) const {
    return {"/usr/bin/ip", "netns", "exec", names[i], "/usr/bin/env",
            "CYCLONEDDS_URI=file://" DDS_CONFIG_DIR "/lan.xml", "VOK_DDS_INTERFACE=" + links[i],
            "VOK_DDS_PEER=" + address(1 - i)};
  }

 private:
  static std::string address(int i) { return "10.231.7." + std::to_string(i + 1); }
  static bool run(Argv command) {
    command[0] = "/usr/bin/" + command[0];
    vok_itest::StartedProcess process(command);
    return process.waitForExit(10s) == std::optional<int>(0);
  }

  std::string names[2];
  std::string links[2];
  bool made = false;
};

TEST_F(DdsBridgeTest, CameraFramesReachAStationInAnotherNetworkNamespace) {
  TwoMachines machines;
  if (!machines.ready()) {
    GTEST_SKIP() << "network namespaces need root (ip netns)";
  }
  expectCameraFramesAcross(machines.on(0), machines.on(1));
}

}  // namespace
