#pragma once

#include <string>
#include <vector>

#include "commandLine.h"

namespace camera {

// The command line of vok_camera.
struct CameraOptions {
  std::string sourcePath;       // --source PATH: a file or FIFO; empty: standard input
  std::string sourceCommand;    // --source-cmd "..."; empty: none
  unsigned maxFps = 30;         // --max-fps N, 1 to 1000
  unsigned stallMs = 2000;      // --stall-ms N, at least 1
  unsigned serverInstance = 0;  // --serverinstance/-s N: the broker's index in pidof's list
};

using CameraCommand = VOK::ParsedCommand<CameraOptions>;

// Reads the arguments after the program name. Refuses, naming the problem:
// an unknown option, a missing or bad value, both kinds of source.
CameraCommand parseCameraOptions(const std::vector<std::string>& arguments);

}  // namespace camera
