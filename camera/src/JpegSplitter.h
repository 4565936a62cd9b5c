#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Cuts a byte stream of concatenated JPEG images (MJPEG) into whole images,
// piece by piece as the bytes arrive; a marker may be split across pieces.
// An image runs from its start marker to the end marker that closes its
// entropy-coded data: marker segments are skipped by their length, so an
// end marker inside a segment (an embedded thumbnail) does not end it.
// Bytes outside images are skipped, images that break off or grow beyond the
// limit are dropped, and all of it is counted. Segments of optional
// metadata (APPn, COM) that hold the pair 0xFF 0xD9 are left out of the
// image, since a reader of the frame takes the first such pair as its end.
class JpegSplitter {
 public:
  struct Counts {
    unsigned long long images = 0;        // whole images handed out
    unsigned long long oversize = 0;      // dropped: more than the limit
    unsigned long long broken = 0;        // dropped: cut off, bad marker or no scan
    unsigned long long skippedBytes = 0;  // bytes outside any image
  };
  using ImageHandler = std::function<void(const std::vector<uint8_t>& image)>;

  // Images of more than maxImageBytes are dropped; onImage gets every other
  // whole image, in stream order, during feed().
  JpegSplitter(size_t maxImageBytes, ImageHandler onImage);

  // Takes the next size bytes of the stream.
  void feed(const uint8_t* data, size_t size);
  // The stream ended (or starts anew): an image in progress is dropped as broken.
  void finish();
  // What has been handed out, dropped and skipped so far.
  const Counts& counts() const { return totals; }

 private:
  enum class State { Seek, SeekFF, MarkerStart, MarkerCode, LengthHigh, LengthLow, Segment, Entropy, EntropyFF };

  void step(uint8_t byte);
  void startImage();
  void dropImage();
  void onMarker(uint8_t code);
  void endSegment();
  void endImage();
  void keep(const uint8_t* bytes, size_t count);

  size_t maxImageBytes;
  ImageHandler onImage;
  State state = State::Seek;
  std::vector<uint8_t> image;
  bool tooLarge = false;
  bool sawScan = false;
  bool endPairInside = false;
  uint8_t segmentCode = 0;
  size_t segmentStart = 0;
  size_t segmentLeft = 0;
  Counts totals;
};
