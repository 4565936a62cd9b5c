// What the DDS bridge publishes, with real parts: VOK_App (its test mode's
// camera, or the operator tool's values), vok_dds_bridge and a DDS station of
// the test's own (dds_probe, on Cyclone's C API). Cyclone runs on loopback
// only with the example configuration, and across two network namespaces
// joined by a veth pair with the LAN example.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "DdsItest.h"
#include "PythonCommand.h"
#include "TwoMachines.h"
#include "VideoFolder.h"

namespace {

using namespace std::chrono_literals;
using namespace vok_itest;

double realSeconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
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

// The camera of the broker's test mode through the bridge to the probe: the
// broker and the bridge on the board, the probe on the station, each host
// given by its command prefix. The broker shares the bridge's network
// namespace, whose socket table tells apps which broker listens.
void expectCameraFramesAcross(const Argv& board, const Argv& station) {
  ShmLeftovers leftovers({kCameraRing});
  VideoFolder folder(true, true);
  const double start = realSeconds();
  BrokerProcess broker(VOK_APP_PATH, {"-t", "1", "-c", "3"}, folder.path(), 10s, board);
  ASSERT_TRUE(broker.waitForSocketFile(10s)) << broker.output();
  StartedProcess bridge(on(board, {DDS_BRIDGE_PATH, "--publish", "camera", "--domain", kDomain}));
  StartedProcess probe(on(station, {DDS_PROBE_PATH, kDomain, "camera", "8", "30"}));
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

TEST_F(DdsBridgeTest, CameraTopicCarriesDistinctJpegFramesWhileTheTestModeBrokerRuns) {
  expectCameraFramesAcross({}, {});
}

TEST_F(DdsBridgeTest, CommandTopicCarriesTheValuesTheFeedSends) {
  ShmLeftovers leftovers({kCommandRing});
  BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  StartedProcess tool(pythonCommand({TOOL_SCRIPT, "set", "1,11,15"}));
  ASSERT_TRUE(eventually([] { return fileExists("/dev/shm" + kCommandRing); }, 30s)) << tool.errors();
  // Without a configuration the bridge stays on loopback, where the probe
  // finds it by unicast: Cyclone's own default (multicast on the first
  // other interface) would not meet it.
  ::unsetenv("CYCLONEDDS_URI");
  StartedProcess bridge({DDS_BRIDGE_PATH, "--publish", "command", "--domain", kDomain});
  SetUp();  // the probe's configuration again
  StartedProcess probe({DDS_PROBE_PATH, kDomain, "command", "4", "30"});
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

TEST_F(DdsBridgeTest, CameraFramesReachAStationInAnotherNetworkNamespace) {
  TwoMachines machines;
  if (!machines.ready()) {
    GTEST_SKIP() << "network namespaces need root (ip netns)";
  }
  expectCameraFramesAcross(machines.on(0), machines.on(1));
}

}  // namespace
