// The shipped libframe_relay.so and the stand-alone frame_relay program.
// Both are pointed at the broker of the test by its index in pidof's list,
// in case other brokers run on the machine.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>

#include "MjpegPart.h"
#include "brokerIndex.h"
#include "vok_itest.h"

namespace {

using namespace std::chrono_literals;
using vok_itest::BrokerProcess;
using vok_itest::StartedProcess;

const char ringName[] = "ZentorMotion(ZM)Shm";

TEST(VideoRelayLibrary, ExportsFourUnmangledEntryPoints) {
  StartedProcess nm({"/usr/bin/nm", "-D", "--defined-only", FRAME_RELAY_PATH});
  ASSERT_EQ(nm.waitForExit(30s), 0) << nm.errors();
  const std::string symbols = nm.output();
  for (const char* name : {"VOK_connect", "VOK_connect1", "VOK_receive", "VOK_disconnect"}) {
    EXPECT_NE(symbols.find(std::string(" T ") + name + "\n"), std::string::npos) << name;
  }
}

// The log lines of one receive call. The stream server of a dispatcher that an
// earlier call started announces itself in its own time (late under an
// emulator), so its lines are left out.
std::string capturedLog(int (*receive)(void*, char*, int), char* buffer, int length, int& result) {
  testing::internal::CaptureStdout();
  result = receive(nullptr, buffer, length);
  std::istringstream lines(testing::internal::GetCapturedStdout());
  std::string kept;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("::http_bindsock()") == std::string::npos) {
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

TEST(VideoRelayProgram, StreamsCameraFramesUntilSigint) {
  vok_itest::ShmLeftovers leftovers({ringName});
  BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  StartedProcess camera({FRAME_FEED_HOST_PATH, FRAME_FEED_PATH, std::to_string(broker.pid())});
  StartedProcess relay({FRAME_RELAY_PROGRAM_PATH, "-s",
                        std::to_string(brokerIndexOf(broker.pid())), "-l", "20"});
  ASSERT_TRUE(relay.waitForOutput("I am consumer reading providers memory", 20s))
      << relay.output() << broker.output();
  auto viewer = connectToStream(10000);
  ASSERT_NE(viewer, nullptr);
  ASSERT_EQ(viewer->read(212, 10000).size(), 212u);
  const MjpegPart part = readPart(*viewer, 10000);
  EXPECT_TRUE(decodesAsJpeg(part.image, 320, 240)) << part.contentLength;

  relay.sendSignal(SIGINT);
  EXPECT_EQ(relay.waitForExit(10s), 0) << relay.output();
  EXPECT_NE(relay.output().find("Log: (ZentorMotion(ZM)consumer/src/main): Caught Stop-signal\n"),
            std::string::npos);
  EXPECT_TRUE(viewer->closedByServer(2000)) << "the stream ends with the program";
  camera.sendSignal(SIGINT);
  EXPECT_EQ(camera.waitForExit(10s), 0) << camera.errors();
  EXPECT_FALSE(vok_itest::fileExists(std::string("/dev/shm/") + ringName));
  EXPECT_EQ(broker.interrupt(10s), 0);
}

}  // namespace
