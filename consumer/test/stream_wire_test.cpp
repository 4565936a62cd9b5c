// What a client sees on the wire: the response header, its CORS variant and
// the frame parts.
#include <gtest/gtest.h>

#include "StreamFixture.h"

namespace {

const std::string plainHeader =
    "HTTP/1.0 200 OK\r\n"
    "Server: ZentorMotion(ZM)C V0.1\r\n"
    "Connection: close\r\n"
    "Max-Age: 0\r\n"
    "Expires: 0\r\n"
    "Cache-Control: no-cache, private\r\n"
    "Pragma: no-cache\r\n"
    "Content-Type: multipart/x-mixed-replace; boundary=BoundaryString\r\n"
    "\r\n";

using StreamWireTest = StreamServerTest;

TEST_F(StreamWireTest, OriginReplacesFinalEmptyLineWithAllowOriginLine) {
  const std::string origin = "http://viewer.example:8080";
  start(origin.c_str());
  StreamClient client(port);
  put(tinyFrame('a'));
  const std::string expected = plainHeader.substr(0, 210) + "Access-Control-Allow-Origin: " +
                               origin + "\r\n\r\n";
  ASSERT_EQ(expected.size(), 243 + origin.size());
  EXPECT_EQ(client.read(expected.size()), expected);
  EXPECT_EQ(client.read(5, 2000).substr(0, 5), "--Bou");
}

// A frame of 81920 bytes whose image ends at its first end marker, at 40000;
// a lone 0xFF before it is no end marker.
std::string frameWithTwoEndMarkers() {
  std::string frame(81920, '\0');
  for (size_t i = 2; i < 40000; ++i) {
    frame[i] = static_cast<char>(1 + i % 200);  // never 0xFF
  }
  frame.replace(0, 2, "\xFF\xD8");
  frame[3000] = '\xFF';
  frame.replace(40000, 2, "\xFF\xD9");
  frame.replace(50000, 2, "\xFF\xD9");
  return frame;
}

// A new client gets the 212-byte header, then a part for each frame with
// its image up to the first end marker and that image's length.
TEST_F(StreamWireTest, NewClientGetsTheHeaderThenEachImageUpToItsFirstEndMarker) {
  const struct {
    std::string frame;
    size_t imageBytes;
  } cases[] = {
      {tinyFrame('a'), 5},
      {frameWithTwoEndMarkers(), 40002},
      {std::string("\xFF\xD8\x01\xD9\x02\xFF", 6), 6},  // 0xFF last, 0xD9 not after 0xFF: sent whole
  };
  ASSERT_EQ(plainHeader.size(), 212u);
  start();
  StreamClient client(port);
  for (const auto& c : cases) {
    put(c.frame);
    const std::string expected =
        (&c == &cases[0] ? plainHeader : std::string()) + partFor(c.frame.substr(0, c.imageBytes));
    EXPECT_EQ(client.read(expected.size()), expected) << c.imageBytes;
  }
  EXPECT_EQ(count, 1);
  EXPECT_FALSE(client.anythingWithin(50));
}

TEST(PutHeaderOnImage, ReturnsPartSizeAlsoForFramesTooShortForAMarker) {
  std::string stamped = partFor("\xFF\xD9");
  // With the frame's moment, one header line more, right before the empty line.
  stamped.insert(stamped.find("\r\n\r\n") + 2, "X-Timestamp: 1700000000.000042\r\n");
  const struct {
    std::string image;
    int64_t stampUs;
    std::string part;
  } cases[] = {
      {"", 0, partFor("")},
      {"\xFF", 0, partFor("\xFF")},
      {std::string("\xFF\xD9\x00", 3), 0, partFor("\xFF\xD9")},
      {std::string("\xFF\xD9\x00", 3), 1700000000000042, stamped},
  };
  for (const auto& c : cases) {
    unsigned char out[1100];
    EXPECT_EQ(put_header_on_image(out, reinterpret_cast<const unsigned char*>(c.image.data()),
                                  static_cast<int64_t>(c.image.size()), c.stampUs),
              static_cast<int64_t>(c.part.size()));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), c.part.size()), c.part) << c.stampUs;
  }
}

}  // namespace
