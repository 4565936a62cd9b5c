#pragma once

#include <cstddef>
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
// into record and calls forward after each. Looks at the ring every 5 ms and
// reads only when its newest index moved, so a record goes out once. Returns
// 1 when the reply named no ring to read, 0 after the stop. Throws what the
// sign-in and forward throw.
int followRing(const RingWish& ring, VOK::IVOKBaseDataStruct& record, unsigned serverInstance,
               const std::function<void()>& forward);

}  // namespace dds_bridge
