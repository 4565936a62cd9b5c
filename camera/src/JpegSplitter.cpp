#include "JpegSplitter.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

const uint8_t kMarkerByte = 0xFF;
const uint8_t kStartOfImage = 0xD8;
const uint8_t kEndOfImage = 0xD9;
const uint8_t kStartOfScan = 0xDA;
const uint8_t kComment = 0xFE;

// Markers that stand alone, without a length: the restart markers and TEM.
bool standsAlone(uint8_t code) { return (code >= 0xD0 && code <= 0xD7) || code == 0x01; }

// Segments a viewer does without: application data (EXIF, thumbnails) and comments.
bool isOptional(uint8_t code) { return (code >= 0xE0 && code <= 0xEF) || code == kComment; }

bool holdsEndPair(const uint8_t* begin, const uint8_t* end) {
  const uint8_t pair[] = {kMarkerByte, kEndOfImage};
  return std::search(begin, end, pair, pair + 2) != end;
}

}  // namespace

JpegSplitter::JpegSplitter(size_t maxImageBytes, ImageHandler onImage)
    : maxImageBytes(maxImageBytes), onImage(std::move(onImage)) {
  image.reserve(maxImageBytes);
}

void JpegSplitter::feed(const uint8_t* data, size_t size) {
  const uint8_t* end = data + size;
  while (data < end) {
    // The bulk of an image is segment payload and entropy-coded data: take
    // those in runs rather than byte by byte.
    if (state == State::Segment && segmentLeft > 1) {
      const size_t run = std::min<size_t>(segmentLeft - 1, end - data);
      keep(data, run);
      segmentLeft -= run;
      data += run;
    } else if (state == State::Entropy) {
      const auto* ff = static_cast<const uint8_t*>(std::memchr(data, kMarkerByte, end - data));
      const uint8_t* runEnd = ff != nullptr ? ff : end;
      keep(data, runEnd - data);
      data = runEnd;
    }
    if (data < end) {
      step(*data++);
    }
  }
}

void JpegSplitter::finish() {
  if (state == State::SeekFF) {
    ++totals.skippedBytes;
  } else if (state != State::Seek) {
    dropImage();
  }
  state = State::Seek;
}

void JpegSplitter::step(uint8_t byte) {
  switch (state) {
    case State::Seek:
      if (byte == kMarkerByte) {
        state = State::SeekFF;
      } else {
        ++totals.skippedBytes;
      }
      break;
    case State::SeekFF:
      if (byte == kStartOfImage) {
        startImage();
      } else {
        // The 0xFF before was no start; this one may be the next.
        totals.skippedBytes += byte == kMarkerByte ? 1 : 2;
        state = byte == kMarkerByte ? State::SeekFF : State::Seek;
      }
      break;
    case State::MarkerStart:
      if (byte == kMarkerByte) {
        keep(&byte, 1);
        state = State::MarkerCode;
      } else {
        dropImage();
        step(byte);
      }
      break;
    case State::MarkerCode:
    case State::EntropyFF:
      if (byte == kStartOfImage) {
        // A new image begins before this one ended: this one broke off.
        dropImage();
        startImage();
        break;
      }
      keep(&byte, 1);
      if (byte == kMarkerByte) {
        break;  // fill byte
      }
      if (state == State::EntropyFF && (byte == 0x00 || standsAlone(byte))) {
        state = State::Entropy;  // stuffed 0xFF or restart marker
      } else {
        onMarker(byte);
      }
      break;
    case State::LengthHigh:
      keep(&byte, 1);
      segmentLeft = static_cast<size_t>(byte) << 8;
      state = State::LengthLow;
      break;
    case State::LengthLow:
      keep(&byte, 1);
      segmentLeft |= byte;
      if (segmentLeft < 2) {
        dropImage();
      } else if ((segmentLeft -= 2) == 0) {
        endSegment();
      } else {
        state = State::Segment;
      }
      break;
    case State::Segment:
      keep(&byte, 1);
      if (--segmentLeft == 0) {
        endSegment();
      }
      break;
    case State::Entropy:
      keep(&byte, 1);
      if (byte == kMarkerByte) {
        state = State::EntropyFF;
      }
      break;
  }
}

void JpegSplitter::startImage() {
  image.assign({kMarkerByte, kStartOfImage});
  tooLarge = false;
  sawScan = false;
  endPairInside = false;
  state = State::MarkerStart;
}

void JpegSplitter::dropImage() {
  ++(tooLarge ? totals.oversize : totals.broken);
  image.clear();
  state = State::Seek;
}

void JpegSplitter::onMarker(uint8_t code) {
  if (code == kEndOfImage) {
    endImage();
  } else if (standsAlone(code)) {
    state = State::MarkerStart;
  } else if (code == 0x00) {
    dropImage();
  } else {
    segmentCode = code;
    segmentStart = tooLarge ? 0 : image.size() - 2;
    state = State::LengthHigh;
  }
}

void JpegSplitter::endSegment() {
  if (!tooLarge && holdsEndPair(image.data() + segmentStart + 2, image.data() + image.size())) {
    if (isOptional(segmentCode)) {
      image.resize(segmentStart);
    } else {
      endPairInside = true;
    }
  }
  if (segmentCode == kStartOfScan) {
    sawScan = true;
    state = State::Entropy;
  } else {
    state = State::MarkerStart;
  }
}

void JpegSplitter::endImage() {
  if (!sawScan || tooLarge || endPairInside) {
    dropImage();
    return;
  }
  ++totals.images;
  onImage(image);
  image.clear();
  state = State::Seek;
}

void JpegSplitter::keep(const uint8_t* bytes, size_t count) {
  if (tooLarge) {
    return;
  }
  if (image.size() + count > maxImageBytes) {
    tooLarge = true;
    image.clear();
    return;
  }
  image.insert(image.end(), bytes, bytes + count);
}
