#include "ConsistentDataTransfer.h"

#include "VOKException.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

#if defined(__SANITIZE_THREAD__)
#define VOK_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VOK_THREAD_SANITIZER 1
#endif
#endif

#ifdef VOK_THREAD_SANITIZER
// ThreadSanitizer's own annotations, exported by its runtime.
extern "C" {
void AnnotateIgnoreReadsBegin(const char* file, int line);
void AnnotateIgnoreReadsEnd(const char* file, int line);
void AnnotateIgnoreWritesBegin(const char* file, int line);
void AnnotateIgnoreWritesEnd(const char* file, int line);
}
#endif

namespace VOK {

namespace {

const size_t kHeaderSize = sizeof(BufferHeader);
// Every record starts with its dispatch pointer, which means nothing in
// another process: readers leave their own in place.
const size_t kPointerSize = sizeof(void*);

void requireAddress(const void* address) {
  if (address == nullptr) {
    throw std::invalid_argument("Shared memory address must not be a nullptr");
  }
}

void requireWatchdog(const std::shared_ptr<TimeDiffWatchdog>& watchdog) {
  if (!watchdog) {
    throw VOKException("ConsistentDataTransfer: timeDiffWatchdog must not be nullptr");
  }
}

void requireRecord(const IVOKBaseDataStruct* data) {
  if (data == nullptr) {
    throw std::invalid_argument("Pointer to user data must not be a nullptr");
  }
}

// The index is published with release and read with acquire, so that a
// reader on a weakly ordered processor never sees an index before the
// segment behind it is complete.
void publish(BufferHeader* header, uint32_t index) {
  __atomic_store_n(&header->lastValidSegment, index, __ATOMIC_RELEASE);
}

uint32_t newestIndex(const BufferHeader* header) {
  return __atomic_load_n(&header->lastValidSegment, __ATOMIC_ACQUIRE);
}

// Segments are copied while the writer may be filling the same segment: that race is
// the design (no lock between writer and readers), and the watchdog throws away every
// copy that took too long to be trusted. Readers are other processes, and in test mode
// threads of the same one; ThreadSanitizer looks away for these copies, and only them.
void copySegmentBytes(void* to, const void* from, size_t length) {
#ifdef VOK_THREAD_SANITIZER
  AnnotateIgnoreReadsBegin(__FILE__, __LINE__);
  AnnotateIgnoreWritesBegin(__FILE__, __LINE__);
#endif
  std::memcpy(to, from, length);
#ifdef VOK_THREAD_SANITIZER
  AnnotateIgnoreWritesEnd(__FILE__, __LINE__);
  AnnotateIgnoreReadsEnd(__FILE__, __LINE__);
#endif
}

// A ring laid out by another process is trusted only as far as it fits into
// what is mapped and matches the record it is read into.
void checkAttachedHeader(const BufferHeader* header, size_t mappedSize, size_t recordSize) {
  if (mappedSize < kHeaderSize) {
    throw VOKException("Shared memory ring: a mapping of " + std::to_string(mappedSize) +
                       " bytes cannot hold the 16-byte header");
  }
  const uint64_t needed =
      kHeaderSize + static_cast<uint64_t>(header->segmentCount) * header->segmentSize;
  if (header->segmentCount < 2) {
    throw VOKException("Shared memory ring has " + std::to_string(header->segmentCount) +
                       " segment(s); at least two are needed");
  }
  if (needed > mappedSize) {
    throw VOKException("Shared memory ring needs " + std::to_string(needed) +
                       " bytes but only " + std::to_string(mappedSize) + " are mapped");
  }
  if (header->segmentSize != recordSize) {
    throw VOKException("Shared memory ring segments hold " + std::to_string(header->segmentSize) +
                       " bytes but the record has " + std::to_string(recordSize));
  }
}

}  // namespace

ConsistentDataTransfer::ConsistentDataTransfer(unsigned segmentCount, void* address,
                                               size_t segmentSize,
                                               std::shared_ptr<TimeDiffWatchdog> watchdog)
    : watchdog(std::move(watchdog)) {
  requireAddress(address);
  header = createBuffer(segmentCount, address, segmentSize);
  requireWatchdog(this->watchdog);
}

ConsistentDataTransfer::ConsistentDataTransfer(void* address, size_t mappedSize,
                                               size_t recordSize,
                                               std::shared_ptr<TimeDiffWatchdog> watchdog)
    : watchdog(std::move(watchdog)) {
  requireAddress(address);
  segmentsBase = calculateSegmentsBase(address);
  header = mapBufferHeader(address);
  checkAttachedHeader(header, mappedSize, recordSize);
  requireWatchdog(this->watchdog);
  segmentCount = header->segmentCount;
  segmentSize = header->segmentSize;
}

BufferHeader* ConsistentDataTransfer::createBuffer(unsigned segmentCount, void* address,
                                                   size_t segmentSize) {
  requireAddress(address);
  if (segmentCount < 2) {
    throw std::invalid_argument("The buffer must have at least two segments.");
  }
  if (segmentSize < kPointerSize || segmentSize > std::numeric_limits<uint32_t>::max()) {
    throw std::invalid_argument("The segment size must lie between the size of a pointer and " +
                                std::to_string(std::numeric_limits<uint32_t>::max()));
  }
  BufferHeader* created = mapBufferHeader(address);
  segmentsBase = calculateSegmentsBase(address);
  created->lastValidSegment = segmentCount;
  created->segmentCount = segmentCount;
  created->segmentSize = static_cast<uint32_t>(segmentSize);
  created->marker = 1;
  this->segmentCount = segmentCount;
  this->segmentSize = static_cast<uint32_t>(segmentSize);
  initializeSegments(segmentCount, this->segmentSize);
  return created;
}

void ConsistentDataTransfer::writeUserData(IVOKBaseDataStruct* data, uint64_t wallClockUs) {
  write(data, 0, wallClockUs);
}

bool ConsistentDataTransfer::readUserData(IVOKBaseDataStruct* data) {
  requireRecord(data);
  return read(data, kPointerSize, kPointerSize);
}

void ConsistentDataTransfer::writeDataToPosixFromVMM(IVOKBaseDataStruct* data) {
  write(data, kPointerSize, 0);
}

// Segment byte P + k holds object byte k here, so the object's data after
// its own dispatch pointer comes from segment offset 2P.
bool ConsistentDataTransfer::writeDataToVMMFromPosix(IVOKBaseDataStruct* data) {
  if (data == nullptr) {
    return false;
  }
  return read(data, kPointerSize, 2 * kPointerSize);
}

uint64_t ConsistentDataTransfer::lastReadStamp() const {
  return signal && lastRead ? signal->stampOf(*lastRead) : 0;
}

std::optional<uint32_t> ConsistentDataTransfer::newestSegment() const {
  const uint32_t index = newestIndex(header);
  if (index == segmentCount) {
    return std::nullopt;
  }
  return index;
}

unsigned char* ConsistentDataTransfer::calculateSegmentsBase(void* address) {
  return static_cast<unsigned char*>(address) + kHeaderSize;
}

BufferHeader* ConsistentDataTransfer::mapBufferHeader(void* address) {
  return static_cast<BufferHeader*>(address);
}

void ConsistentDataTransfer::initializeSegments(unsigned segmentCount, unsigned segmentSize) {
  std::memset(segmentsBase, 0, static_cast<size_t>(segmentCount) * segmentSize);
}

unsigned char* ConsistentDataTransfer::getSegmentStart(unsigned index) const {
  return segmentsBase + static_cast<size_t>(index) * segmentSize;
}

void ConsistentDataTransfer::write(const IVOKBaseDataStruct* data, size_t segmentOffset,
                                   uint64_t wallClockUs) {
  requireRecord(data);
  uint32_t next = header->lastValidSegment + 1;
  if (next >= segmentCount) {
    next = 0;
  }
  copySegmentBytes(getSegmentStart(next) + segmentOffset, data, segmentSize - segmentOffset);
  if (signal) {
    signal->stamp(next, wallClockUs);
  }
  publish(header, next);
  if (signal) {
    signal->announce();
  }
}

bool ConsistentDataTransfer::read(IVOKBaseDataStruct* data, size_t recordOffset,
                                  size_t segmentOffset) {
  const size_t length = segmentSize > segmentOffset ? segmentSize - segmentOffset : 0;
  unsigned char* target = reinterpret_cast<unsigned char*>(data) + recordOffset;
  uint32_t index = 0;
  for (;;) {
    watchdog->Start();
    index = newestIndex(header);
    if (index >= segmentCount) {
      break;
    }
    copySegmentBytes(target, getSegmentStart(index) + segmentOffset, length);
    // The copy must be complete before the stop stamp is taken.
    std::atomic_thread_fence(std::memory_order_acquire);
    watchdog->Stop();
    if (!watchdog->TimeOut()) {
      lastRead = index;
      return true;
    }
  }
  if (index == segmentCount) {
    return false;
  }
  throw std::out_of_range("Last valid segment in buffer out of bounds; is" +
                          std::to_string(index) + "but there are only" +
                          std::to_string(segmentCount) + "available");
}

}  // namespace VOK
