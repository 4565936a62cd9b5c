#pragma once

#include "BufferHeader.h"
#include "IVOKBaseDataStruct.h"
#include "RingSignal.h"
#include "TimeDiffWatchdog.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace VOK {

// One process's view of a lock-free segment ring: one writer, any number of
// readers. The writer fills the segment after the newest one and only then
// publishes its index; a reader trusts a copy only if the watchdog says it
// finished within the segment lifetime. Neither owns nor unmaps the memory.
// Copies share the watchdog; an object is used by one thread at a time.
class ConsistentDataTransfer {
 public:
  // Provider: lays out an empty ring of segmentCount segments of segmentSize
  // bytes at address (which must hold 16 + count * size bytes) and zeroes it.
  // Throws std::invalid_argument for a null address, fewer than two segments
  // or a segment smaller than a pointer or wider than 32 bits; VOKException
  // for a null watchdog (the ring is laid out by then).
  ConsistentDataTransfer(unsigned segmentCount, void* address, size_t segmentSize,
                         std::shared_ptr<TimeDiffWatchdog> watchdog);
  // Consumer: attaches to the ring a provider laid out at address, writing
  // nothing. Throws std::invalid_argument for a null address; VOKException
  // when the header asks for more than mappedSize bytes, for fewer than two
  // segments or for segments of another size than recordSize, and for a null
  // watchdog.
  ConsistentDataTransfer(void* address, size_t mappedSize, size_t recordSize,
                         std::shared_ptr<TimeDiffWatchdog> watchdog);
  // Writes the empty-ring header at address and zeroes the segments; returns
  // the header. Throws like the provider constructor.
  virtual BufferHeader* createBuffer(unsigned segmentCount, void* address, size_t segmentSize);
  virtual ~ConsistentDataTransfer() = default;

  // Copies the record's whole object image into the next segment, then
  // publishes it; with a signal, stamps it with wallClockUs first and
  // announces it after. Throws std::invalid_argument for a null record.
  void writeUserData(IVOKBaseDataStruct* data, uint64_t wallClockUs = 0);
  // Copies the newest record's data (everything after its dispatch pointer)
  // into data, retrying until a copy finishes within the lifetime. False,
  // data untouched, while nothing was written. Throws std::invalid_argument
  // for a null record, std::out_of_range for a corrupt index.
  bool readUserData(IVOKBaseDataStruct* data);
  // Like writeUserData, but leaves the segment's first pointer-sized bytes
  // alone and stores the object image after them, cut to fit.
  void writeDataToPosixFromVMM(IVOKBaseDataStruct* data);
  // Reader of writeDataToPosixFromVMM's segments; false at once for a null
  // record, otherwise like readUserData.
  bool writeDataToVMMFromPosix(IVOKBaseDataStruct* data);
  // The index of the newest complete segment as the shared header holds it
  // now; nothing while the ring is empty. Every write moves it, so a reader
  // that sees it stand still knows that nothing new came.
  std::optional<uint32_t> newestSegment() const;
  // The number of segments in the ring.
  uint32_t getSegmentCount() const { return segmentCount; }
  // Puts the ring's wake-up signal beside it (null: none); copies share it.
  void useSignal(std::shared_ptr<RingSignal> ringSignal) { signal = std::move(ringSignal); }
  // The ring's wake-up signal; null for a provider that has none.
  const std::shared_ptr<RingSignal>& getSignal() const { return signal; }
  // The writer's stamp of the record last read (wall-clock microseconds);
  // 0 without a signal, a stamp, or a record read.
  uint64_t lastReadStamp() const;

 private:
  static unsigned char* calculateSegmentsBase(void* address);
  static BufferHeader* mapBufferHeader(void* address);
  void initializeSegments(unsigned segmentCount, unsigned segmentSize);
  unsigned char* getSegmentStart(unsigned index) const;
  void write(const IVOKBaseDataStruct* data, size_t segmentOffset, uint64_t wallClockUs);
  bool read(IVOKBaseDataStruct* data, size_t recordOffset, size_t segmentOffset);

  unsigned char* segmentsBase = nullptr;
  BufferHeader* header = nullptr;
  std::shared_ptr<TimeDiffWatchdog> watchdog;
  std::shared_ptr<RingSignal> signal;
  std::optional<uint32_t> lastRead;
  // Fixed when the ring is laid out and checked on attaching; used instead
  // of the shared header so that a rewritten header cannot widen a copy.
  uint32_t segmentCount = 0;
  uint32_t segmentSize = 0;
};

}  // namespace VOK
