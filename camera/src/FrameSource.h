#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ISourceFunctions.h"

namespace camera {

// A byte stream of JPEG images that the camera reads.
class FrameSource {
 public:
  enum class Result { Bytes, Nothing, Ended };

  virtual ~FrameSource() = default;
  // Waits up to timeoutMs (less when a signal arrives) for bytes. Bytes: the
  // buffer holds what was read; Nothing: none came; Ended: the stream ended.
  // Throws VOKException with the system's text when the stream cannot be read.
  virtual Result read(std::vector<uint8_t>& buffer, int timeoutMs) = 0;
  // Whether reading goes on after Ended, with a new stream.
  virtual bool restarts() const = 0;
  // Whether the whole stream is stored already (a regular file), so that
  // frames are to be held back to the rate rather than dropped.
  virtual bool isStored() const = 0;
};

// Waits up to timeoutMs for fd to be readable and reads what is there into
// buffer: the step every source makes. Throws like FrameSource::read.
FrameSource::Result readDescriptor(ISourceFunctions& calls, int fd, std::vector<uint8_t>& buffer, int timeoutMs);

}  // namespace camera
