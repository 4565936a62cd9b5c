// The splitter against streams of small hand-made JPEG images, each stream
// fed whole, byte by byte and cut in two at every position.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JpegSplitter.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes segment(uint8_t code, const Bytes& payload) {
  const size_t length = payload.size() + 2;
  return Bytes{0xFF, code, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)} + payload;
}

const Bytes soi{0xFF, 0xD8};
const Bytes eoi{0xFF, 0xD9};
const Bytes jfif = segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1});
// Entropy-coded data with a stuffed 0xFF and a restart marker.
const Bytes scan = segment(0xDA, {1, 1, 0, 0, 0x3F, 0}) + Bytes{0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56};

// A fill byte before the end marker.
Bytes image(uint8_t tag, size_t padding = 0) {
  return soi + jfif + segment(0xFE, Bytes(padding, tag)) + scan + Bytes{tag, 0xFF} + eoi;
}

Bytes firstBytes(const Bytes& bytes, size_t count) { return Bytes(bytes.begin(), bytes.begin() + count); }

const Bytes thumbnail = segment(0xE1, Bytes{'E', 'x', 'i', 'f', 0, 0} + image(9));
const Bytes progressive = soi + segment(0xC2, {8, 0, 1}) + scan + segment(0xC4, {0, 1}) + scan + eoi;

struct Case {
  std::string name;
  Bytes stream;
  std::vector<Bytes> images;
  JpegSplitter::Counts counts;  // the images field is taken from images
};

const size_t limit = 120;

std::vector<Case> cases() {
  return {
      {"BackToBack", image(1) + image(2), {image(1), image(2)}, {}},
      {"GarbageBetweenAndAround", Bytes{0xFF, 7, 0xFF, 0xFF} + image(1) + Bytes{0, 0xD8, 0xFF} + image(2) + Bytes{0xFF},
       {image(1), image(2)}, {0, 0, 0, 8}},
      {"TruncatedAtTheEnd", image(1) + firstBytes(image(2), 20), {image(1)}, {0, 0, 1, 0}},
      {"CutOffByTheNextStart", firstBytes(image(1), image(1).size() - 3) + image(2), {image(2)}, {0, 0, 1, 0}},
      {"OversizeBetweenGoodOnes", image(1) + image(5, limit) + image(2), {image(1), image(2)}, {0, 1, 0, 0}},
      {"ExactlyTheLimit", image(3, limit - image(3).size()), {image(3, limit - image(3).size())}, {}},
      {"OneAboveTheLimit", image(3, limit + 1 - image(3).size()), {}, {0, 1, 0, 0}},
      {"ThumbnailLeftOutOfTheImage", soi + thumbnail + jfif + scan + eoi, {soi + jfif + scan + eoi}, {}},
      {"ProgressiveScans", progressive, {progressive}, {}},
      {"EndPairInATable", soi + segment(0xDB, {0, 0xFF, 0xD9}) + scan + eoi + image(2), {image(2)}, {0, 0, 1, 0}},
      {"NoScan", soi + jfif + eoi + image(2), {image(2)}, {0, 0, 1, 0}},
      {"NoMarkerWhereOneBelongs", soi + Bytes{0x42} + image(2), {image(2)}, {0, 0, 1, 1}},
      {"ShortSegmentLength", soi + Bytes{0xFF, 0xE0, 0, 1} + image(2), {image(2)}, {0, 0, 1, 0}},
  };
}

struct Result {
  std::vector<Bytes> images;
  JpegSplitter::Counts counts;
};

// Feeds the stream in pieces of at most piece bytes, the first cut at firstCut.
Result split(const Bytes& stream, size_t firstCut, size_t piece) {
  Result result;
  JpegSplitter splitter(limit, [&](const Bytes& got) { result.images.push_back(got); });
  size_t at = 0;
  size_t next = firstCut;
  while (at < stream.size()) {
    const size_t end = std::min(stream.size(), next);
    splitter.feed(stream.data() + at, end - at);
    at = end;
    next = at + piece;
  }
  splitter.finish();
  result.counts = splitter.counts();
  return result;
}

TEST(JpegSplitter, CutsEveryStreamAlikeHoweverItArrives) {
  for (const Case& c : cases()) {
    std::vector<std::pair<size_t, size_t>> feeds = {{c.stream.size(), 1}, {1, 1}};
    for (size_t cut = 1; cut < c.stream.size(); ++cut) {
      feeds.emplace_back(cut, c.stream.size());
    }
    for (const auto& [firstCut, piece] : feeds) {
      const Result r = split(c.stream, firstCut, piece);
      const std::string where = c.name + ", first piece " + std::to_string(firstCut) + ", then " + std::to_string(piece);
      ASSERT_EQ(r.images, c.images) << where;
      EXPECT_EQ(r.counts.images, c.images.size()) << where;
      EXPECT_EQ(r.counts.oversize, c.counts.oversize) << where;
      EXPECT_EQ(r.counts.broken, c.counts.broken) << where;
      EXPECT_EQ(r.counts.skippedBytes, c.counts.skippedBytes) << where;
    }
  }
}

}  // namespace
