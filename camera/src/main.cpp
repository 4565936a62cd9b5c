// vok_camera: publishes the JPEG images of an MJPEG stream (a camera tool's
// pipe, a file, a FIFO or a pipeline it runs itself) as the camera provider.
#include <csignal>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CameraLoop.h"
#include "CameraOptions.h"
#include "CameraRing.h"
#include "ClockUtils.h"
#include "CommandSource.h"
#include "DescriptorSource.h"
#include "SourceWrapperLinux.h"
#include "runApp.h"
#include "stopSignalWatcher.h"

namespace {

const char mainComponent[] = "ZentorMotion(ZM)camera/src/main";

std::unique_ptr<camera::FrameSource> makeSource(const camera::CameraOptions& options, std::function<uint64_t()> now) {
  auto calls = std::make_shared<camera::SourceWrapperLinux>();
  if (!options.sourceCommand.empty()) {
    return std::make_unique<camera::CommandSource>(calls, options.sourceCommand, std::move(now));
  }
  if (!options.sourcePath.empty()) {
    return std::make_unique<camera::DescriptorSource>(calls, options.sourcePath);
  }
  return std::make_unique<camera::DescriptorSource>(calls);
}

int run(const camera::CameraOptions& options) {
  auto clock = std::make_shared<VOK::ClockUtils>(new VOK::ClockWrapperLinux());
  auto now = [clock] { return clock->getCurrentTimeInUs(); };
  const FramePacer pacer(options.maxFps);
  camera::CameraRing ring(options.serverInstance, pacer.shortestCycleUs());
  std::unique_ptr<camera::FrameSource> source = makeSource(options, now);
  const camera::LoopSettings settings{UserDataStruct::frameBytes, options.maxFps, options.stallMs};
  camera::CameraLoop loop(
      *source, [&ring](const std::vector<uint8_t>& image) { ring.publish(image); }, settings, now);
  return loop.run(VOK::processStop());
}

}  // namespace

int main(int argc, char** argv) {
  const camera::CameraCommand command = camera::parseCameraOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (const std::optional<int> status = VOK::answerInstead(command)) {
    return *status;
  }
  // No real-time scheduling: cutting frames must not take the processor
  // from the servo controller.
  return VOK::runApp({mainComponent, mainComponent, {SIGINT, SIGTERM}, false}, [&] { return run(command.options); });
}
