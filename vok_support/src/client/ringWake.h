#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "RingSignal.h"

namespace VOK {

// Making and finding the wake-up signal beside a ring (RingSignal), with
// the same ownership and trust rules as the ring itself.

// Provider: creates the signal beside the ring shmID of segmentCount
// segments (owner-writable, like the ring; a stale one is taken over).
// Throws VOKException when it cannot be created.
std::shared_ptr<RingSignal> createRingSignal(const std::string& shmID, uint32_t segmentCount);

// Consumer: maps the signal beside the ring shmID read-only. Null, with one
// log line, when the provider (an older one) made none, when it belongs to
// neither the provider's user (pid providerPid), this app's user nor root,
// or does not fit the ring: the consumer then runs by its pass alone.
std::shared_ptr<RingSignal> attachRingSignal(const std::string& shmID, uint32_t segmentCount,
                                             int providerPid);

}  // namespace VOK
