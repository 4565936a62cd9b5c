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

TEST_F(StreamWireTest, NewClientGetsExactly212ByteHeaderThenFramePart) {
  start();
  StreamClient client(port);
  const std::string frame = tinyFrame('a');
  put(frame);
  ASSERT_EQ(plainHeader.size(), 212u);
  EXPECT_EQ(client.read(212), plainHeader);
  const std::string part = partFor(frame);
  EXPECT_EQ(client.read(part.size()), part);
  EXPECT_EQ(count, 1);
}

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

TEST_F(StreamWireTest, ImageIsCutAfterFirstEndMarkerAndLengthSaysSo) {
  start();
  StreamClient client(port);
  std::string frame(81920, '\0');
  frame[0] = '\xFF';
  frame[1] = '\xD8';
  for (size_t i = 2; i < 40000; ++i) {
    frame[i] = static_cast<char>(1 + i % 200);  // never 0xFF
  }
  frame[3000] = '\xFF';  // a lone 0xFF inside the image is no end marker
  frame[40000] = '\xFF';
  frame[40001] = '\xD9';
  frame[50000] = '\xFF';
  frame[50001] = '\xD9';
  put(frame);
  client.read(212);
  const std::string part = partFor(frame.substr(0, 40002));
  EXPECT_EQ(client.read(part.size()), part);
  EXPECT_FALSE(client.anythingWithin(50));
}

TEST_F(StreamWireTest, FrameWithoutEndMarkerIsSentWhole) {
  start();
  StreamClient client(port);
  const std::string frame("\xFF\xD8\x01\xD9\x02\xFF", 6);  // 0xFF last, 0xD9 not after 0xFF
  put(frame);
  client.read(212);
  EXPECT_EQ(client.read(partFor(frame).size()), partFor(frame));
}

TEST(PutHeaderOnImage, ReturnsPartSizeAlsoForFramesTooShortForAMarker) {
  unsigned char out[1100];
  const std::string emptyPart = partFor("");
  EXPECT_EQ(put_header_on_image(out, reinterpret_cast<const unsigned char*>(""), 0),
            static_cast<int64_t>(emptyPart.size()));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), emptyPart.size()), emptyPart);

  const unsigned char single[] = {0xFF};
  EXPECT_EQ(put_header_on_image(out, single, 1), static_cast<int64_t>(partFor("\xFF").size()));

  const unsigned char marker[] = {0xFF, 0xD9, 0x00};
  const std::string markerPart = partFor("\xFF\xD9");
  EXPECT_EQ(put_header_on_image(out, marker, 3), static_cast<int64_t>(markerPart.size()));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), markerPart.size()), markerPart);

  // With the frame's moment, one header line more, right before the empty line.
  std::string stamped = markerPart;
  stamped.insert(markerPart.find("\r\n\r\n") + 2, "X-Timestamp: 1700000000.000042\r\n");
  EXPECT_EQ(put_header_on_image(out, marker, 3, 1700000000000042), static_cast<int64_t>(stamped.size()));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), stamped.size()), stamped);
}

}  // namespace
