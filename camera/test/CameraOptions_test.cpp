#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CameraOptions.h"

namespace {

using camera::parseCameraOptions;

TEST(CameraOptions, ReadsEveryOption) {
  const camera::CameraOptions options =
      parseCameraOptions({"--source-cmd", "rpicam-vid -o -", "--max-fps", "12", "--stall-ms", "500", "-s", "2"})
          .options;
  EXPECT_EQ(options.sourceCommand, "rpicam-vid -o -");
  EXPECT_EQ(options.sourcePath, "");
  EXPECT_EQ(options.maxFps, 12u);
  EXPECT_EQ(options.stallMs, 500u);
  EXPECT_EQ(options.serverInstance, 2u);
}

TEST(CameraOptions, RefusesBadCommandLinesWithTheReason) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--source", "a", "--source-cmd", "b"}, "--source and --source-cmd exclude each other"},
      {{"--max-fps", "0"}, "--max-fps takes a whole number from 1 to 1000, not \"0\""},
      {{"--max-fps", "-5"}, "--max-fps takes a whole number from 1 to 1000, not \"-5\""},
      {{"--stall-ms", "20x"}, "--stall-ms takes a whole number from 1 to 3600000, not \"20x\""},
      {{"--source"}, "--source needs a value"},
      {{"--fps", "3"}, "unknown option \"--fps\""},
  };
  for (const auto& [arguments, reason] : cases) {
    const camera::CameraCommand command = parseCameraOptions(arguments);
    EXPECT_EQ(command.action, VOK::CommandAction::Refuse) << reason;
    EXPECT_EQ(command.message.rfind("vok_camera: " + reason + "\n", 0), 0u) << command.message;
  }
}

}  // namespace
