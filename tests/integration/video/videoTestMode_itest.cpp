// VOK_App's test mode as a self-contained video demo: the broker loads the
// stand-in camera and the frame relay from its working directory, and
// browsers get the camera's JPEG frames on port 2020.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "MjpegPart.h"
#include "VideoFolder.h"
#include "vok_itest.h"

namespace {

using namespace std::chrono_literals;
using vok_itest::BrokerProcess;

const char ringName[] = "ZentorMotion(ZM)Shm";

bool isJpegFrame(const MjpegPart& part) {
  const std::string& image = part.image;
  return part.contentLength > 4 && image.size() == static_cast<size_t>(part.contentLength) &&
         image.compare(0, 2, "\xFF\xD8") == 0 && image.compare(image.size() - 2, 2, "\xFF\xD9") == 0;
}

TEST(VideoTestModeWithoutCamera, MissingProviderLibraryEndsBrokerWithLoaderMessageBeforeAnyApp) {
  VideoFolder folder(false, true);
  BrokerProcess broker(VOK_APP_PATH, {"-t", "1"}, folder.path());
  const std::optional<int> status = broker.waitForExit(10s);
  ASSERT_TRUE(status.has_value()) << broker.output();
  EXPECT_EQ(*status, 1);
  EXPECT_NE(broker.errors().find(".//libFrameFeed.so: cannot open shared object file"),
            std::string::npos)
      << broker.errors();
  const std::string output = broker.output();
  const std::string listening = "Server listening inbound connections: 0\n";
  ASSERT_NE(output.find(listening), std::string::npos) << output;
  // Nothing after listening: no app was accepted, the relay never started.
  EXPECT_EQ(output.find("ZentorMotion"), std::string::npos) << output;
}

// Every case's broker in test mode: a folder with the stand-in camera and the
// relay, and the camera's ring removed whatever happens.
class VideoTestMode : public testing::Test {
 protected:
  vok_itest::ShmLeftovers leftovers{{ringName}};
  VideoFolder folder{true, true};
};

TEST_F(VideoTestMode, CountOneLoadsOnlyTheProvider) {
  BrokerProcess broker(VOK_APP_PATH, {"-t", "1", "-c", "1"}, folder.path());
  ASSERT_TRUE(broker.waitForOutput("publishing 320x240 JPEG frames", 20s)) << broker.output();
  EXPECT_TRUE(processHasMapped(broker.pid(), "libFrameFeed.so"));
  EXPECT_FALSE(processHasMapped(broker.pid(), "libframe_relay.so"));
  EXPECT_EQ(broker.interrupt(10s), 0) << broker.output();
  EXPECT_FALSE(vok_itest::fileExists(std::string("/dev/shm/") + ringName))
      << "the camera removes its ring when the broker ends";
}

// The stand-in camera and the relay run inside the broker and must find that
// broker on every start, whatever its short-lived children are called; each
// start serves moving frames within ten seconds, also while browsers close
// their tab in the middle of a frame, and ends the stream when it stops.
TEST_F(VideoTestMode, EveryStartServesMovingFramesWithinTenSecondsAndOutlivesBrowsersThatLeaveMidFrame) {
  for (int start = 1; start <= 20; ++start) {
    SCOPED_TRACE("start " + std::to_string(start));
    BrokerProcess broker(VOK_APP_PATH, {"-t", "1"}, folder.path());
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    const auto msLeft = [&] {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      return static_cast<int>(std::max<long long>(left.count(), 1));
    };
    auto viewer = connectToStream(msLeft());
    ASSERT_NE(viewer, nullptr) << broker.output();
    const std::string header = viewer->read(212, msLeft());
    ASSERT_EQ(header.size(), 212u) << broker.output();
    EXPECT_EQ(header.substr(0, 17), "HTTP/1.0 200 OK\r\n");
    const MjpegPart first = readPart(*viewer, msLeft());
    ASSERT_TRUE(isJpegFrame(first)) << first.contentLength << broker.output();
    EXPECT_TRUE(decodesAsJpeg(first.image, 320, 240));
    for (int i = 0; i < 3; ++i) {
      auto leaving = connectToStream(2000);
      ASSERT_NE(leaving, nullptr);
      leaving->read(212 + 100, 5000);
    }
    MjpegPart later = readPart(*viewer, msLeft());
    while (isJpegFrame(later) && later.image == first.image) {
      later = readPart(*viewer, msLeft());
    }
    ASSERT_TRUE(isJpegFrame(later)) << "the camera's counter moves on" << broker.output();
    EXPECT_TRUE(decodesAsJpeg(later.image, 320, 240));
    ASSERT_EQ(broker.interrupt(10s), 0) << "the broker survived its clients but did not stop";
    EXPECT_TRUE(viewer->closedByServer(2000));
  }
}

TEST_F(VideoTestMode, HeadlessChromiumRendersTheStream) {
  const std::string chromium = "/usr/bin/chromium";
  if (!vok_itest::fileExists(chromium)) {
    GTEST_SKIP() << "chromium is not installed (scripts/setup.sh installs it)";
  }
  BrokerProcess broker(VOK_APP_PATH, {"-t", "1"}, folder.path());
  ASSERT_TRUE(broker.waitForOutput("I am consumer reading providers memory", 20s)) << broker.output();
  ASSERT_NE(connectToStream(10000), nullptr);
  const std::string page = folder.write("view.html", R"(<!DOCTYPE html>
<html><body><img id="video" src="http://127.0.0.1:2020/"><p id="result">nothing</p>
<script>
function check() {
  var video = document.getElementById('video');
  if (video.naturalWidth == 0) return setTimeout(check, 100);
  document.getElementById('result').textContent = 'rendered ' + video.naturalWidth + 'x' + video.naturalHeight;
}
check();
</script></body></html>)");
  vok_itest::StartedProcess browser({chromium, "--headless", "--no-sandbox", "--disable-gpu",
                                     "--disable-background-networking", "--no-first-run",
                                     "--user-data-dir=" + folder.path() + "/profile",
                                     "--virtual-time-budget=5000", "--dump-dom",
                                     "file://" + page});
  ASSERT_TRUE(browser.waitForExit(90s).has_value());
  EXPECT_NE(browser.output().find("<p id=\"result\">rendered 320x240</p>"), std::string::npos)
      << browser.output() << browser.errors();
  EXPECT_EQ(broker.interrupt(10s), 0);
}

}  // namespace
