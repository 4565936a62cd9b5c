#include "RingSignal.h"

#include <climits>
#include <stdexcept>

namespace VOK {

namespace {

constexpr size_t kStampsOffset = 8;

}  // namespace

std::string RingSignal::nameFor(const std::string& shmID) { return shmID + "Wake"; }

size_t RingSignal::sizeFor(uint32_t segmentCount) {
  return kStampsOffset + sizeof(uint64_t) * static_cast<size_t>(segmentCount);
}

RingSignal::RingSignal(std::shared_ptr<VokShm> object, uint32_t segmentCount, bool writer,
                       std::shared_ptr<IFutexFunctions> futex)
    : object(std::move(object)), futex(std::move(futex)), segmentCount(segmentCount) {
  if (!this->object || !this->futex) {
    throw std::invalid_argument("RingSignal: object and futex functions must not be null");
  }
  if (this->object->getSize() < sizeFor(segmentCount)) {
    throw std::invalid_argument("RingSignal: " + this->object->getName() + " is too small for " +
                                std::to_string(segmentCount) + " segments");
  }
  uint32_t* count = word() + 1;
  if (writer) {
    __atomic_store_n(count, segmentCount, __ATOMIC_RELAXED);
  } else if (__atomic_load_n(count, __ATOMIC_RELAXED) != segmentCount) {
    throw std::invalid_argument("RingSignal: " + this->object->getName() +
                                " was made for another ring");
  }
}

void RingSignal::stamp(uint32_t segment, uint64_t wallClockUs) {
  if (segment < segmentCount) {
    __atomic_store_n(stamps() + segment, wallClockUs, __ATOMIC_RELAXED);
  }
}

void RingSignal::announce() {
  __atomic_fetch_add(word(), 1, __ATOMIC_RELEASE);
  futex->_futex_wake(word(), INT_MAX);
}

uint32_t RingSignal::sequence() const { return __atomic_load_n(word(), __ATOMIC_ACQUIRE); }

bool RingSignal::waitPast(uint32_t seen, std::chrono::nanoseconds timeout) const {
  if (sequence() != seen) {
    return true;
  }
  if (timeout.count() > 0) {
    const timespec relative{static_cast<time_t>(timeout.count() / 1000000000),
                            static_cast<long>(timeout.count() % 1000000000)};
    futex->_futex_wait(word(), seen, &relative);
  }
  return sequence() != seen;
}

uint64_t RingSignal::stampOf(uint32_t segment) const {
  return segment < segmentCount ? __atomic_load_n(stamps() + segment, __ATOMIC_RELAXED) : 0;
}

uint32_t* RingSignal::word() const { return static_cast<uint32_t*>(object->getShmAdr()); }

uint64_t* RingSignal::stamps() const {
  return reinterpret_cast<uint64_t*>(static_cast<unsigned char*>(object->getShmAdr()) + kStampsOffset);
}

}  // namespace VOK
