#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "FrameCounts.h"
#include "FramePacer.h"
#include "FrameSource.h"
#include "JpegSplitter.h"
#include "stopSignalWatcher.h"

namespace camera {

struct LoopSettings {
  size_t maxImageBytes;  // larger images are dropped
  unsigned maxFps;       // at least 1
  unsigned stallMs;      // a source without a frame for this long has stalled
};

// The camera's work: reads the source, cuts it into images, keeps the rate
// and publishes. Logs a stalled source once (and when frames come again),
// and the dropped frames every 10 s in which any were broken or too large.
class CameraLoop {
 public:
  using Publish = std::function<void(const std::vector<uint8_t>& image)>;

  // now gives microseconds of the monotonic clock.
  CameraLoop(FrameSource& source, Publish publish, const LoopSettings& settings, std::function<uint64_t()> now);

  // Runs until a stop is requested of stop (0) or a source that does not restart ends (1).
  // Ends with a log line of the counts. What the source and publish throw passes through.
  int run(const VOK::StopSource& stop);
  // What became of the frames so far.
  FrameCounts counts() const;

 private:
  void onImage(const std::vector<uint8_t>& image);
  void holdBack(const VOK::StopSource& stop);
  void watch(uint64_t nowUs);

  FrameSource& source;
  Publish publish;
  LoopSettings settings;
  std::function<uint64_t()> now;
  JpegSplitter splitter;
  FramePacer pacer;
  FrameCounts own;
  const VOK::StopSource* stopSource = nullptr;
  uint64_t lastImageUs = 0;
  bool stalled = false;
  uint64_t reportedUs = 0;
  FrameCounts reported;
};

}  // namespace camera
