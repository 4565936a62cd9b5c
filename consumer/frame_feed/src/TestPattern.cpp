#include "TestPattern.h"

#include <cstddef>
#include <cstdint>

namespace {

struct Colour {
  unsigned char r, g, b;
};

const Colour bars[] = {{235, 235, 235}, {235, 235, 16}, {16, 235, 235}, {16, 235, 16},
                       {235, 16, 235},  {235, 16, 16},  {16, 16, 235},  {16, 16, 16}};
const unsigned barCount = sizeof(bars) / sizeof(bars[0]);

// 5 x 7 digits, one row per entry, the leftmost pixel in bit 4.
const uint8_t digitRows[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}};
const unsigned digits = 6;
const unsigned scale = 4;
const unsigned margin = 8;
const unsigned square = 40;

class Canvas {
 public:
  Canvas(unsigned width, unsigned height, unsigned char* rgb)
      : width(width), height(height), rgb(rgb) {}
  void fill(unsigned x0, unsigned y0, unsigned w, unsigned h, Colour c) {
    for (unsigned y = y0; y < y0 + h && y < height; ++y) {
      for (unsigned x = x0; x < x0 + w && x < width; ++x) {
        unsigned char* p = rgb + 3 * (static_cast<size_t>(y) * width + x);
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
      }
    }
  }
  const unsigned width;
  const unsigned height;

 private:
  unsigned char* rgb;
};

void drawBars(Canvas& canvas, unsigned frame) {
  const unsigned barWidth = canvas.width / barCount + 1;
  const unsigned shift = frame * 4;
  for (unsigned x = 0; x < canvas.width; ++x) {
    canvas.fill(x, 0, 1, canvas.height, bars[((x + shift) / barWidth) % barCount]);
  }
}

// A triangle wave from 0 up to span and back, one step per frame.
unsigned bounce(unsigned frame, unsigned span) {
  if (span == 0) {
    return 0;
  }
  const unsigned phase = frame % (2 * span);
  return phase < span ? phase : 2 * span - phase;
}

void drawCounter(Canvas& canvas, unsigned frame) {
  const unsigned cell = (5 + 1) * scale;
  canvas.fill(margin - scale, margin - scale, digits * cell + scale, 7 * scale + 2 * scale,
              {0, 0, 0});
  unsigned value = frame;
  for (unsigned i = 0; i < digits; ++i) {
    const unsigned digit = value % 10;
    value /= 10;
    const unsigned left = margin + (digits - 1 - i) * cell;
    for (unsigned row = 0; row < 7; ++row) {
      for (unsigned column = 0; column < 5; ++column) {
        if (digitRows[digit][row] & (0x10 >> column)) {
          canvas.fill(left + column * scale, margin + row * scale, scale, scale, {255, 255, 255});
        }
      }
    }
  }
}

}  // namespace

void renderTestPattern(unsigned frame, unsigned width, unsigned height, unsigned char* rgb) {
  Canvas canvas(width, height, rgb);
  drawBars(canvas, frame);
  const unsigned x = bounce(frame * 3, width > square ? width - square : 0);
  const unsigned y = bounce(frame * 2, height > square ? height - square : 0);
  canvas.fill(x, y, square, square, {255, 128, 0});
  drawCounter(canvas, frame);
}
