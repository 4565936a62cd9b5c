#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "FrameSource.h"

namespace camera {

// A pipeline the camera runs itself: "/bin/sh -c command" in a process group
// of its own, its standard output read as the stream. When the stream ends
// the pipeline is stopped and started again after a back-off that doubles
// from 0.5 s up to 10 s, and falls back to 0.5 s after a run of 10 s or more.
class CommandSource : public FrameSource {
 public:
  // The first start is at the first read. now gives microseconds of the
  // monotonic clock. Throws VOKException for null collaborators.
  CommandSource(std::shared_ptr<ISourceFunctions> calls, std::string command, std::function<uint64_t()> now);
  // Stops a running pipeline.
  ~CommandSource() override;
  CommandSource(const CommandSource&) = delete;
  CommandSource& operator=(const CommandSource&) = delete;

  // Also starts the pipeline when it is due; Nothing while it waits for that.
  // Throws VOKException with the system's text when it cannot be started.
  Result read(std::vector<uint8_t>& buffer, int timeoutMs) override;
  bool restarts() const override { return true; }
  bool isStored() const override { return false; }

 private:
  void start();
  // Stops the pipeline: SIGTERM to its group (when the stream ended, after up
  // to a second for the leader to end by itself), SIGKILL when the leader is
  // still there after a grace period. Returns how the leader ended.
  std::string stop(bool streamEnded);
  // Whether the leader has ended within steps pauses; leaves it unreaped, so
  // that its group id cannot be taken by another process meanwhile.
  bool endsWithin(int steps);

  std::shared_ptr<ISourceFunctions> calls;
  std::string command;
  std::function<uint64_t()> now;
  pid_t child = -1;
  int output = -1;
  uint64_t startedUs = 0;
  uint64_t dueUs = 0;
  uint64_t backoffMs = 0;
};

}  // namespace camera
