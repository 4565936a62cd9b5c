#include "CameraOptions.h"

#include <stdexcept>

#include "optionNumber.h"

namespace camera {

namespace {

unsigned number(const std::string& option, const std::string& text, unsigned low, unsigned high) {
  return static_cast<unsigned>(VOK::optionNumber(option, text, low, high));
}

}  // namespace

CameraOptions parseCameraOptions(const std::vector<std::string>& arguments) {
  CameraOptions options;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (i + 1 >= arguments.size()) {
      throw std::invalid_argument(option.rfind("-", 0) == 0 ? option + " needs a value"
                                                            : "unknown argument \"" + option + "\"");
    }
    const std::string& value = arguments[++i];
    if (option == "--source") {
      options.sourcePath = value;
    } else if (option == "--source-cmd") {
      options.sourceCommand = value;
    } else if (option == "--max-fps") {
      options.maxFps = number(option, value, 1, 1000);
    } else if (option == "--stall-ms") {
      options.stallMs = number(option, value, 1, 3600000);
    } else if (option == "--serverinstance" || option == "-s") {
      options.serverInstance = number(option, value, 0, 63);
    } else {
      throw std::invalid_argument("unknown option \"" + option + "\"");
    }
  }
  if (!options.sourcePath.empty() && !options.sourceCommand.empty()) {
    throw std::invalid_argument("--source and --source-cmd exclude each other");
  }
  return options;
}

std::string cameraUsage() {
  return "usage: vok_camera [--source PATH | --source-cmd COMMAND] [--max-fps N] [--stall-ms N]\n"
         "                  [--serverinstance N]\n"
         "Publishes the JPEG images of an MJPEG stream (standard input by default) as the\n"
         "camera provider \"ZentorMotion(ZM)\" of the bramixmotionData block.\n"
         "  --source PATH         read a file or FIFO instead of standard input\n"
         "  --source-cmd COMMAND  run COMMAND with /bin/sh and read its output; start it\n"
         "                        again, after a back-off, whenever it ends\n"
         "  --max-fps N           publish at most N frames a second (default 30)\n"
         "  --stall-ms N          report a source without frames for N ms (default 2000)\n"
         "  -s, --serverinstance N  sign in to the broker listed N-th by pidof (default 0)\n";
}

}  // namespace camera
