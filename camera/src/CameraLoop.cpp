#include "CameraLoop.h"

#include <algorithm>
#include <string>

#include "log_datalayer.h"

namespace camera {

namespace {
const char kComponent[] = "camera/src/CameraLoop::run()";
const int kReadTimeoutMs = 100;
const uint64_t kReportPeriodUs = 10000000;
}  // namespace

CameraLoop::CameraLoop(FrameSource& source, Publish publish, const LoopSettings& settings,
                       std::function<uint64_t()> now)
    : source(source),
      publish(std::move(publish)),
      settings(settings),
      now(std::move(now)),
      splitter(settings.maxImageBytes, [this](const std::vector<uint8_t>& image) { onImage(image); }),
      pacer(settings.maxFps) {}

int CameraLoop::run(const VOK::StopSource& stop) {
  stopSource = &stop;
  lastImageUs = reportedUs = now();
  std::vector<uint8_t> buffer;
  int status = 0;
  while (!stop.stopRequested()) {
    const FrameSource::Result result = source.read(buffer, kReadTimeoutMs);
    if (result == FrameSource::Result::Bytes) {
      splitter.feed(buffer.data(), buffer.size());
    } else if (result == FrameSource::Result::Ended) {
      // An image cut off by the end is dropped, never joined to the next stream's.
      splitter.finish();
      if (!source.restarts()) {
        log(LOG_ERROR, kComponent, "the source ended");
        status = 1;
        break;
      }
    }
    watch(now());
  }
  log(LOG_INFO, kComponent, counts().text(settings.maxImageBytes));
  return status;
}

FrameCounts CameraLoop::counts() const {
  FrameCounts all = own;
  all.split = splitter.counts();
  return all;
}

void CameraLoop::onImage(const std::vector<uint8_t>& image) {
  if (stalled) {
    log(LOG_INFO, kComponent, "frames arrive again");
    stalled = false;
  }
  lastImageUs = now();
  if (source.isStored()) {
    holdBack(*stopSource);
  }
  if (stopSource->stopRequested()) {
    return;
  }
  if (!pacer.admit(now())) {
    ++own.aboveRate;
    return;
  }
  publish(image);
  ++own.published;
}

// A stored stream has no pace of its own: it is played at the maximum rate.
void CameraLoop::holdBack(const VOK::StopSource& stop) {
  uint64_t waitUs = 0;
  while (!stop.stopRequested() && (waitUs = pacer.waitBeforeNext(now())) > 0) {
    stop.waitForStop(std::chrono::microseconds(waitUs));
  }
  lastImageUs = now();
}

void CameraLoop::watch(uint64_t nowUs) {
  if (!stalled && nowUs - lastImageUs >= uint64_t{settings.stallMs} * 1000) {
    stalled = true;
    log(LOG_ERROR, kComponent,
        "no frame from the source for " + std::to_string(settings.stallMs) + " ms; the last frame stays");
  }
  if (nowUs - reportedUs >= kReportPeriodUs) {
    const FrameCounts current = counts();
    if (current.hasNewFaultsSince(reported)) {
      log(LOG_ERROR, kComponent, "in the last 10 s: " + (current - reported).text(settings.maxImageBytes));
    }
    reported = current;
    reportedUs = nowUs;
  }
}

}  // namespace camera
