#pragma once

#include <cstddef>
#include <cstdint>

namespace VOK {

// The 16 bytes in front of a segment ring in shared memory, in native byte
// order. Segment i follows at offset 16 + i * segmentSize, without padding.
struct BufferHeader {
  uint16_t marker;            // 1 once the buffer is laid out; nobody reads it
  uint16_t unused;            // never written
  uint32_t segmentCount;      // at least 2
  uint32_t segmentSize;       // bytes per segment
  uint32_t lastValidSegment;  // newest complete segment; segmentCount while empty
};

static_assert(sizeof(BufferHeader) == 16, "the ring header is 16 bytes");
static_assert(offsetof(BufferHeader, segmentCount) == 4, "segment count at offset 4");
static_assert(offsetof(BufferHeader, segmentSize) == 8, "segment size at offset 8");
static_assert(offsetof(BufferHeader, lastValidSegment) == 12, "last valid segment at offset 12");

}  // namespace VOK
