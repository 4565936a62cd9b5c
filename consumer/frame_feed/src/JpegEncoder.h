#pragma once

#include <cstddef>

// Encodes RGB pictures as baseline JPEG images (libjpeg-turbo), lowering the
// quality until the image fits the space given. Used by one thread.
class JpegEncoder {
 public:
  // Throws std::runtime_error when the encoder cannot be set up.
  JpegEncoder();
  ~JpegEncoder();
  JpegEncoder(const JpegEncoder&) = delete;
  JpegEncoder& operator=(const JpegEncoder&) = delete;

  // Writes the JPEG image of rgb (width * height * 3 bytes) into out and
  // returns its size; 0 when it does not fit capacity even at the lowest
  // quality. Throws std::runtime_error with the library's text on failure.
  size_t encode(const unsigned char* rgb, unsigned width, unsigned height, unsigned char* out,
                size_t capacity);

 private:
  void* handle;
};
