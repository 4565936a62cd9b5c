#include "FrameSource.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "VOKException.h"
#include "log_datalayer.h"

namespace camera {

namespace {
const size_t kChunkBytes = 65536;
const char kComponent[] = "camera/src/FrameSource::readDescriptor()";

[[noreturn]] void fail(const std::string& call) {
  const std::string text = "cannot read the source: " + call + ": " + std::strerror(errno);
  log(LOG_ERROR, kComponent, text);
  throw VOK::VOKException(text);
}
}  // namespace

FrameSource::Result readDescriptor(ISourceFunctions& calls, int fd, std::vector<uint8_t>& buffer, int timeoutMs) {
  pollfd ready{fd, POLLIN, 0};
  const int events = calls._poll(&ready, 1, timeoutMs);
  if (events < 0 && errno != EINTR) {
    fail("poll");
  }
  if (events <= 0) {
    return FrameSource::Result::Nothing;
  }
  buffer.resize(kChunkBytes);
  const ssize_t count = calls._read(fd, buffer.data(), buffer.size());
  if (count < 0) {
    if (errno == EINTR || errno == EAGAIN) {
      buffer.clear();
      return FrameSource::Result::Nothing;
    }
    fail("read");
  }
  buffer.resize(static_cast<size_t>(count));
  return count == 0 ? FrameSource::Result::Ended : FrameSource::Result::Bytes;
}

}  // namespace camera
