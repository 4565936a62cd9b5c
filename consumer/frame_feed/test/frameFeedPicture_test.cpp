// The stand-in camera's pictures are real JPEG images that the relay can cut
// correctly and a browser can decode.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <algorithm>
#include <vector>

#include "JpegEncoder.h"
#include "TestPattern.h"

namespace {

const unsigned width = 320;
const unsigned height = 240;
const size_t frameBytes = 81920;

std::vector<unsigned char> picture(unsigned frame) {
  std::vector<unsigned char> rgb(width * height * 3);
  renderTestPattern(frame, width, height, rgb.data());
  return rgb;
}

std::vector<unsigned char> jpegOf(JpegEncoder& encoder, unsigned frame) {
  std::vector<unsigned char> out(frameBytes);
  const auto rgb = picture(frame);
  out.resize(encoder.encode(rgb.data(), width, height, out.data(), out.size()));
  return out;
}

// Position just after the first 0xFF 0xD9 pair, as the stream server cuts.
size_t cutAfterFirstEndMarker(const std::vector<unsigned char>& bytes) {
  for (size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xD9) {
      return i + 2;
    }
  }
  return bytes.size();
}

TEST(FrameFeedPicture, EveryFrameIsJpegWhoseFirstEndMarkerIsItsEnd) {
  JpegEncoder encoder;
  for (unsigned frame = 0; frame < 200; frame += 7) {
    const auto jpeg = jpegOf(encoder, frame);
    ASSERT_GT(jpeg.size(), 2u) << frame;
    ASSERT_LE(jpeg.size(), frameBytes);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    EXPECT_EQ(cutAfterFirstEndMarker(jpeg), jpeg.size()) << frame;
  }
}

TEST(FrameFeedPicture, DecodesToTheRenderedPicture) {
  JpegEncoder encoder;
  const auto jpeg = jpegOf(encoder, 1234);
  tjhandle decoder = tjInitDecompress();
  int w = 0, h = 0, subsampling = 0, colourspace = 0;
  ASSERT_EQ(tjDecompressHeader3(decoder, jpeg.data(), jpeg.size(), &w, &h, &subsampling,
                                &colourspace),
            0);
  EXPECT_EQ(w, static_cast<int>(width));
  EXPECT_EQ(h, static_cast<int>(height));
  std::vector<unsigned char> decoded(width * height * 3);
  ASSERT_EQ(tjDecompress2(decoder, jpeg.data(), jpeg.size(), decoded.data(), w, 0, h, TJPF_RGB, 0),
            0);
  tjDestroy(decoder);
  const auto original = picture(1234);
  long worst = 0;
  double total = 0;
  for (size_t i = 0; i < decoded.size(); ++i) {
    const long difference = std::labs(static_cast<long>(decoded[i]) - original[i]);
    worst = std::max(worst, difference);
    total += difference;
  }
  EXPECT_LT(total / decoded.size(), 8.0);  // lossy, but the same picture
}

TEST(FrameFeedPicture, CounterMakesConsecutiveFramesDiffer) {
  const auto first = picture(41);
  const auto second = picture(42);
  // The counter's last digit, at the top left, changes between the frames.
  size_t changed = 0;
  for (unsigned y = 8; y < 36; ++y) {
    for (unsigned x = 128; x < 148; ++x) {
      changed += first[3 * (y * width + x)] != second[3 * (y * width + x)];
    }
  }
  EXPECT_GT(changed, 10u);
}

TEST(FrameFeedPicture, ImageThatCannotFitGivesZero) {
  JpegEncoder encoder;
  const auto rgb = picture(5);
  std::vector<unsigned char> out(100);
  EXPECT_EQ(encoder.encode(rgb.data(), width, height, out.data(), out.size()), 0u);
}

}  // namespace
