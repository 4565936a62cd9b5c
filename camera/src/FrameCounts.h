#pragma once

#include <string>

#include "JpegSplitter.h"

// What became of the frames of a source: the splitter's counts and the
// camera's own.
struct FrameCounts {
  JpegSplitter::Counts split;
  unsigned long long published = 0;
  unsigned long long aboveRate = 0;  // dropped to keep the maximum rate

  // Whether any frame was broken or too large, or bytes were skipped, since earlier.
  bool hasNewFaultsSince(const FrameCounts& earlier) const;
  // "published P frames; dropped O above L bytes, B broken, R above the rate;
  // S bytes skipped between images", with L the frame limit.
  std::string text(size_t limitBytes) const;
};

// The counts between earlier and later.
FrameCounts operator-(const FrameCounts& later, const FrameCounts& earlier);
