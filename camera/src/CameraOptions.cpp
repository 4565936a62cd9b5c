#include "CameraOptions.h"

namespace camera {

namespace {

VOK::OptionTable cameraTable(CameraOptions& options) {
  return {"vok_camera",
          "[--source PATH | --source-cmd COMMAND] [--max-fps N] [--stall-ms N] "
          "[--serverinstance N]",
          "Publishes the JPEG images of an MJPEG stream (standard input by "
          "default) as the\n"
          "camera provider \"ZentorMotion(ZM)\" of the bramixmotionData block.\n",
          {{"--source", "", "PATH", "read a file or FIFO instead of standard input", VOK::textInto(options.sourcePath)},
           {"--source-cmd", "", "COMMAND",
            "run COMMAND with /bin/sh and read its output; start it again, after a "
            "back-off, whenever it ends",
            VOK::textInto(options.sourceCommand)},
           {"--max-fps", "", "N", "publish at most N frames a second (default 30)",
            VOK::numberInto(options.maxFps, 1, 1000)},
           {"--stall-ms", "", "N", "report a source without frames for N ms (default 2000)",
            VOK::numberInto(options.stallMs, 1, 3600000)},
           {"--serverinstance", "-s", "N", "sign in to the broker listed N-th by pidof (default 0)",
            VOK::numberInto(options.serverInstance, 0, VOK::kHighestServerInstance)}}};
}

}  // namespace

CameraCommand parseCameraOptions(const std::vector<std::string>& arguments) {
  CameraCommand command;
  const VOK::OptionTable table = cameraTable(command.options);
  static_cast<VOK::CommandOutcome&>(command) = VOK::readCommandLine(table, arguments);
  if (command.action == VOK::CommandAction::Run && !command.options.sourcePath.empty() &&
      !command.options.sourceCommand.empty()) {
    static_cast<VOK::CommandOutcome&>(command) = VOK::refusal(table, "--source and --source-cmd exclude each other");
  }
  return command;
}

}  // namespace camera
