#include "DescriptorSource.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "VOKException.h"
#include "log_datalayer.h"

namespace camera {

namespace {
const char kComponent[] = "camera/src/DescriptorSource::DescriptorSource()";

std::shared_ptr<ISourceFunctions> required(std::shared_ptr<ISourceFunctions> calls) {
  if (!calls) {
    throw VOK::VOKException("DescriptorSource: the system calls must not be null");
  }
  return calls;
}

bool isRegularFile(ISourceFunctions& calls, int fd) {
  struct stat info {};
  return calls._fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}
}  // namespace

DescriptorSource::DescriptorSource(std::shared_ptr<ISourceFunctions> calls)
    : calls(required(std::move(calls))), fd(STDIN_FILENO), owned(false) {
  stored = isRegularFile(*this->calls, fd);
}

DescriptorSource::DescriptorSource(std::shared_ptr<ISourceFunctions> calls, const std::string& path)
    : calls(required(std::move(calls))), fd(-1), owned(true) {
  fd = this->calls->_open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const std::string text = "cannot open the source " + path + ": " + std::strerror(errno);
    log(LOG_ERROR, kComponent, text);
    throw VOK::VOKException(text);
  }
  stored = isRegularFile(*this->calls, fd);
}

DescriptorSource::~DescriptorSource() {
  if (owned) {
    calls->_close(fd);
  }
}

FrameSource::Result DescriptorSource::read(std::vector<uint8_t>& buffer, int timeoutMs) {
  return readDescriptor(*calls, fd, buffer, timeoutMs);
}

}  // namespace camera
