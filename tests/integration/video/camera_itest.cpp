// vok_camera as a board runs it: fed by ffmpeg, read by the frame relay
// program, watched on port 2020; and fed a file of good and bad images.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <regex>
#include <set>
#include <string>

#include "MjpegPart.h"
#include "VideoFolder.h"
#include "brokerIndex.h"
#include "vok_itest.h"

namespace {

using namespace std::chrono_literals;
using vok_itest::BrokerProcess;
using vok_itest::StartedProcess;

const char ringName[] = "ZentorMotion(ZM)Shm";
const char ffmpeg[] = "/usr/bin/ffmpeg";

bool processExists(int pid) { return vok_itest::fileExists("/proc/" + std::to_string(pid)); }

TEST(CameraProgram, PublishesAnFfmpegPipelineToTheRelaysViewers) {
  vok_itest::ShmLeftovers leftovers({ringName});
  BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  const std::string instance = std::to_string(brokerIndexOf(broker.pid()));
  StartedProcess camera({VOK_CAMERA_PATH, "-s", instance, "--source-cmd",
                         std::string("exec ") + ffmpeg +
                             " -loglevel error -nostdin -re -f lavfi -i testsrc=size=640x480:rate=15"
                             " -f mjpeg -q:v 5 -"});
  StartedProcess relay({FRAME_RELAY_PROGRAM_PATH, "-s", instance});
  ASSERT_TRUE(relay.waitForOutput("I am consumer reading providers memory", 20s))
      << relay.output() << camera.output() << broker.output();
  auto viewer = connectToStream(10000);
  ASSERT_NE(viewer, nullptr);
  ASSERT_EQ(viewer->read(212, 10000).size(), 212u);

  std::set<std::string> distinct;
  for (int part = 0; part < 40 && distinct.size() < 3; ++part) {
    const MjpegPart received = readPart(*viewer, 10000);
    ASSERT_TRUE(decodesAsJpeg(received.image, 640, 480)) << part << ": " << received.contentLength;
    distinct.insert(received.image);
  }
  ASSERT_EQ(distinct.size(), 3u) << "the test picture moves";
  VideoFolder folder(false, false);
  StartedProcess probe({"/usr/bin/ffprobe", "-v", "error", "-show_entries", "stream=codec_name,width,height",
                        "-of", "csv=p=0", folder.write("frame.jpg", *distinct.begin())});
  ASSERT_EQ(probe.waitForExit(30s), 0) << probe.errors();
  EXPECT_EQ(probe.output(), "mjpeg,640,480\n");

  std::smatch started;
  const std::string log = camera.output();
  ASSERT_TRUE(std::regex_search(log, started, std::regex(R"(started the source command \(pid (\d+)\))"))) << log;
  const int ffmpegPid = std::stoi(started[1]);
  camera.sendSignal(SIGTERM);
  EXPECT_EQ(camera.waitForExit(10s), 0) << camera.output();
  EXPECT_NE(camera.output().find("Log: (ZentorMotion(ZM)camera/src/main): Caught Stop-signal\n"), std::string::npos);
  EXPECT_FALSE(processExists(ffmpegPid)) << "the camera stops its pipeline";
  EXPECT_FALSE(vok_itest::fileExists(std::string("/dev/shm/") + ringName));
  relay.sendSignal(SIGINT);
  EXPECT_EQ(relay.waitForExit(10s), 0);
  EXPECT_EQ(broker.interrupt(10s), 0);
}

// Small real JPEG images, made by ffmpeg.
std::string testPicture(const VideoFolder& folder, int number) {
  const std::string path = folder.path() + "/picture" + std::to_string(number) + ".jpg";
  StartedProcess make({ffmpeg, "-loglevel", "error", "-nostdin", "-f", "lavfi", "-i",
                       "testsrc=size=160x120:rate=1:duration=" + std::to_string(number + 1), "-vf",
                       "select=eq(n\\," + std::to_string(number) + ")", "-frames:v", "1", "-y", path});
  EXPECT_EQ(make.waitForExit(30s), 0) << make.errors();
  return vok_itest::readFile(path);
}

// The picture with comment segments in its header that make it larger than a frame record.
std::string oversize(const std::string& picture) {
  const std::string comment = std::string("\xFF\xFE\xEA\x60", 4) + std::string(60000 - 2, 'x');
  return picture.substr(0, 2) + comment + comment + picture.substr(2);
}

TEST(CameraProgram, DropsAndCountsBadImagesAndEndsWithItsSource) {
  vok_itest::ShmLeftovers leftovers({ringName});
  VideoFolder folder(false, false);
  const std::string a = testPicture(folder, 0), b = testPicture(folder, 1), c = testPicture(folder, 2);
  const std::string garbage(100, '\x55');
  const std::string stream = a + garbage + b + oversize(c) + c + b.substr(0, b.size() / 2);
  const std::string path = folder.write("bad.mjpeg", stream);

  BrokerProcess broker(VOK_APP_PATH, {"-c", "1"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  StartedProcess camera({VOK_CAMERA_PATH, "-s", std::to_string(brokerIndexOf(broker.pid())), "--source", path,
                         "--max-fps", "50"});
  EXPECT_EQ(camera.waitForExit(30s), 1) << camera.output();
  EXPECT_NE(camera.output().find("ERR: (camera/src/CameraLoop::run()): the source ended\n"
                                 "Log: (camera/src/CameraLoop::run()): published 3 frames; dropped 1 above 81920 "
                                 "bytes, 1 broken, 0 above the rate; 100 bytes skipped between images\n"),
            std::string::npos)
      << camera.output();
  EXPECT_FALSE(vok_itest::fileExists(std::string("/dev/shm/") + ringName));
  EXPECT_EQ(broker.interrupt(10s), 0);
}

}  // namespace
