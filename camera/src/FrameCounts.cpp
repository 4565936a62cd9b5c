#include "FrameCounts.h"

bool FrameCounts::hasNewFaultsSince(const FrameCounts& earlier) const {
  return split.oversize != earlier.split.oversize || split.broken != earlier.split.broken ||
         split.skippedBytes != earlier.split.skippedBytes;
}

std::string FrameCounts::text(size_t limitBytes) const {
  return "published " + std::to_string(published) + " frames; dropped " + std::to_string(split.oversize) +
         " above " + std::to_string(limitBytes) + " bytes, " + std::to_string(split.broken) + " broken, " +
         std::to_string(aboveRate) + " above the rate; " + std::to_string(split.skippedBytes) +
         " bytes skipped between images";
}

FrameCounts operator-(const FrameCounts& later, const FrameCounts& earlier) {
  FrameCounts difference;
  difference.split.images = later.split.images - earlier.split.images;
  difference.split.oversize = later.split.oversize - earlier.split.oversize;
  difference.split.broken = later.split.broken - earlier.split.broken;
  difference.split.skippedBytes = later.split.skippedBytes - earlier.split.skippedBytes;
  difference.published = later.published - earlier.published;
  difference.aboveRate = later.aboveRate - earlier.aboveRate;
  return difference;
}
