#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "IVOKBaseDataStruct.h"
#include "Requests.h"

namespace dds_bridge {

// The ring a publishing bridge reads: the request for it, and the record's size.
struct RingWish {
  Requests request;
  std::size_t recordSize;
};

// Signs in as consumer of ring (to the broker listed serverInstance-th by
// pidof) and, until a stop signal, reads every record the provider writes
// into record and calls forward after each with the writer's stamp of the
// record (wall-clock microseconds; 0 when it gave none). Wakes on each record
// the provider announces (else looks every 5 ms) and reads only when the
// ring's newest index moved, so a record goes out once. Returns
// 1 when the reply named no ring to read, 0 after the stop. Throws what the
// sign-in and forward throw.
int followRing(const RingWish& ring, VOK::IVOKBaseDataStruct& record, unsigned serverInstance,
               const std::function<void(uint64_t wallClockUs)>& forward);

}  // namespace dds_bridge
