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

// Whether name is the wake-up signal that its provider keeps beside one of
// its rings ("/RINGWake"): it has no ring header, and it moves with its ring.
bool isWakeSignalBesideRing(const std::string& name, const std::set<std::string>& names) {
  const std::string suffix = "Wake";
  return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
         names.count(name.substr(0, name.size() - suffix.size())) != 0;
}

}  // namespace

bool RingWatch::standsStill(pid_t pid, Clock::time_point now, Clock::duration bound, std::string& which) {
  const std::set<std::string> names = sharedMemoryNamesWrittenBy(pid);
  for (const std::string& name : names) {
    uint32_t index = 0;
    if (isWakeSignalBesideRing(name, names) || !readNewestSegment(name, index)) {
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
