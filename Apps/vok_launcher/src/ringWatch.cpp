#include "ringWatch.h"

#include "procScan.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

// Offset of the newest complete segment's index in a ring's header.
constexpr off_t kNewestSegmentOffset = 12;

bool readNewestSegment(const std::string& name, uint32_t& index) {
  const int fd = ::open(("/dev/shm" + name).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd == -1) {
    return false;
  }
  const bool read = ::pread(fd, &index, sizeof index, kNewestSegmentOffset) == static_cast<ssize_t>(sizeof index);
  ::close(fd);
  return read;
}

}  // namespace

bool RingWatch::standsStill(pid_t pid, Clock::time_point now, Clock::duration bound, std::string& which) {
  for (const std::string& name : sharedMemoryNamesWrittenBy(pid)) {
    uint32_t index = 0;
    if (!readNewestSegment(name, index)) {
      continue;
    }
    auto known = seen.find(name);
    if (known == seen.end() || known->second.index != index) {
      seen[name] = {index, now};
    } else if (now - known->second.since >= bound) {
      which = name;
      return true;
    }
  }
  return false;
}

void RingWatch::forget() { seen.clear(); }
