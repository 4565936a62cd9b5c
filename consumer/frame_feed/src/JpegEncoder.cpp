#include "JpegEncoder.h"

#include <turbojpeg.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

const int kQualities[] = {85, 70, 50, 30, 15};

struct TurboFree {
  void operator()(unsigned char* image) const { tjFree(image); }
};

}  // namespace

JpegEncoder::JpegEncoder() : handle(tjInitCompress()) {
  if (handle == nullptr) {
    throw std::runtime_error(std::string("JPEG encoder: ") + tjGetErrorStr2(nullptr));
  }
}

JpegEncoder::~JpegEncoder() { tjDestroy(handle); }

size_t JpegEncoder::encode(const unsigned char* rgb, unsigned width, unsigned height,
                           unsigned char* out, size_t capacity) {
  for (int quality : kQualities) {
    // The library allocates and grows the image buffer itself.
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const int failed =
        tjCompress2(handle, rgb, static_cast<int>(width), 0, static_cast<int>(height), TJPF_RGB,
                    &buffer, &size, TJSAMP_420, quality, 0);
    std::unique_ptr<unsigned char, TurboFree> image(buffer);
    if (failed != 0) {
      throw std::runtime_error(std::string("JPEG encoder: ") + tjGetErrorStr2(handle));
    }
    if (size <= capacity) {
      std::memcpy(out, image.get(), size);
      return size;
    }
  }
  return 0;
}
