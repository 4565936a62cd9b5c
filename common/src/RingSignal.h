#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "IFutexFunctions.h"
#include "VokShm.h"

namespace VOK {

// The wake-up signal beside a segment ring: a shared-memory object of its
// own (the ring's layout stays as it is) holding a sequence word that the
// writer bumps after every record and wakes its waiters on, and one
// wall-clock time stamp per segment, written before the segment is
// published. Readers map it read-only and wait on the word, so a consumer
// learns of a record when it comes instead of polling fast. The layout, in
// native byte order: sequence (u32), segment count (u32), stamps (u64 each).
class RingSignal {
 public:
  // The object's name beside the ring shmID.
  static std::string nameFor(const std::string& shmID);
  // The object's size for a ring of segmentCount segments.
  static size_t sizeFor(uint32_t segmentCount);

  // Over a mapped object of at least sizeFor(segmentCount) bytes; the writer
  // (creating side) records the count in it. Throws std::invalid_argument
  // for a null object or futex functions, a mapping too small, or, on the
  // reading side, a count other than segmentCount.
  RingSignal(std::shared_ptr<VokShm> object, uint32_t segmentCount, bool writer,
             std::shared_ptr<IFutexFunctions> futex);

  // Writer: the stamp of the record going into segment (ignored past the count).
  void stamp(uint32_t segment, uint64_t wallClockUs);
  // Writer: a record was published; bumps the sequence and wakes every waiter.
  void announce();
  // The sequence now; it moves with every announced record.
  uint32_t sequence() const;
  // Waits until the sequence differs from seen or timeout has passed; a
  // signal handler that runs ends the wait too. True when it moved.
  bool waitPast(uint32_t seen, std::chrono::nanoseconds timeout) const;
  // The stamp the writer gave segment; 0 when none (or past the count).
  uint64_t stampOf(uint32_t segment) const;

 private:
  uint32_t* word() const;
  uint64_t* stamps() const;

  std::shared_ptr<VokShm> object;
  std::shared_ptr<IFutexFunctions> futex;
  uint32_t segmentCount;
};

}  // namespace VOK
