// How the server treats several clients over time: the ten-client limit,
// pacing, slow and vanished clients, and the frame limit per connection.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "StreamFixture.h"

namespace {

using StreamClientsTest = StreamServerTest;

// Far more than a loopback connection buffers for a client that does not read.
const size_t bigFrameSize = 8 << 20;

size_t occurrences(const std::string& text, const std::string& needle) {
  size_t found = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
    ++found;
  }
  return found;
}

TEST_F(StreamClientsTest, EleventhClientWaitsUntilOneOfTenLeaves) {
  start();
  std::vector<std::unique_ptr<StreamClient>> clients;
  for (int i = 0; i < 10; ++i) {
    clients.push_back(std::make_unique<StreamClient>(port));
    put(tinyFrame('a'));
  }
  ASSERT_EQ(count, 10);
  StreamClient eleventh(port);
  for (int i = 0; i < 20; ++i) {
    put(tinyFrame('b'));
  }
  EXPECT_EQ(count, 10);
  EXPECT_FALSE(eleventh.anythingWithin(100));

  clients[3]->close();
  ASSERT_TRUE(putUntil(tinyFrame('c'), [&] { return count == 10 && eleventh.anythingWithin(0); }))
      << "count " << count;
  EXPECT_EQ(eleventh.read(211).size(), 211u);  // the rest of its header
}

TEST_F(StreamClientsTest, SecondFrameWithinPeriodIsSkippedAndNextOneDelivered) {
  start();
  StreamClient client(port);
  put(tinyFrame('a'), 1);
  put(tinyFrame('b'), framePeriodUs);  // exactly one period later: too early
  put(tinyFrame('c'), 1);              // one microsecond more: due
  client.read(212);
  const std::string expected = partFor(tinyFrame('a')) + partFor(tinyFrame('c'));
  EXPECT_EQ(client.read(expected.size()), expected);
  EXPECT_FALSE(client.anythingWithin(50));
}

TEST_F(StreamClientsTest, ClientClosingMidFrameIsDroppedWhileOthersGoOn) {
  start();
  StreamClient steady(port);
  put(tinyFrame('a'));
  auto leaving = std::make_unique<StreamClient>(port, 4096);
  const std::string big(bigFrameSize, '\x11');  // no marker: sent whole
  put(big);
  ASSERT_EQ(count, 2);
  steady.read(212 + partFor(tinyFrame('a')).size() + partFor(big).size());
  EXPECT_EQ(leaving->read(212 + 100).size(), 312u);
  leaving->close();

  ASSERT_TRUE(putUntil(tinyFrame('z'), [&] { return count == 1; }));
  const std::string last = partFor(tinyFrame('y'));
  put(tinyFrame('y'));
  const std::string seen = steady.readToEnd(300);
  EXPECT_EQ(seen.substr(seen.size() - last.size()), last);
}

TEST_F(StreamClientsTest, SlowClientSkipsFramesWhileFastClientGetsEveryOne) {
  start();
  StreamClient fast(port);
  put(tinyFrame('0'));
  StreamClient slow(port, 4096);
  const std::string big(bigFrameSize, '\x22');
  put(big);
  std::string fastSeen;
  const std::string pumped = partFor(tinyFrame('p'));
  ASSERT_TRUE(putUntil(tinyFrame('p'), [&] {
    fastSeen += fast.readToEnd(5);
    return fastSeen.size() > partFor(big).size() && fastSeen.find(pumped) != std::string::npos;
  }));
  fast.readToEnd(20);
  for (char tag = 'a'; tag <= 'e'; ++tag) {
    put(tinyFrame(tag));
    const std::string part = partFor(tinyFrame(tag));
    std::string got = fast.read(part.size());
    ASSERT_EQ(got, part);
  }

  // Only frames put after the slow client finished its big one reach it.
  const std::string afterBig = partFor(tinyFrame('f'));
  std::string slowSeen;
  ASSERT_TRUE(putUntil(tinyFrame('f'), [&] {
    slowSeen += slow.readToEnd(5);
    return slowSeen.size() >= 212 + partFor(big).size() + afterBig.size();
  }));
  EXPECT_TRUE(slowSeen.compare(212, partFor(big).size(), partFor(big)) == 0);
  EXPECT_EQ(slowSeen.substr(212 + partFor(big).size(), afterBig.size()), afterBig);
}

TEST_F(StreamClientsTest, ConnectionEndsAfterHeaderAnd13200Frames) {
  start();
  StreamClient client(port);
  std::string seen;
  std::thread reader([&] { seen = client.readToEnd(60000); });
  const std::string frame = tinyFrame('x');
  for (int i = 0; i < 30000 && (i == 0 || count > 0); ++i) {
    put(frame);
    if (i % 1000 == 999) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  EXPECT_EQ(count, 0);
  reader.join();
  EXPECT_EQ(seen.size(), 212 + 13200 * partFor(frame).size());
  EXPECT_EQ(occurrences(seen, "--BoundaryString\r\n"), 13200u);
}

TEST_F(StreamClientsTest, StopClosesListeningSocketAndEveryClient) {
  start();
  StreamClient first(port);
  put(tinyFrame('a'));
  StreamClient second(port);
  put(tinyFrame('b'));
  ASSERT_EQ(count, 2);
  testing::internal::CaptureStdout();
  stream_stop(&server);
  started = false;
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_EQ(server.socket, -1);
  EXPECT_EQ(server.next, nullptr);
  EXPECT_TRUE(first.closedByServer(1000));
  EXPECT_TRUE(second.closedByServer(1000));
  EXPECT_NE(output.find("Log: (ZentorMotion(ZM)C::stream_stop()): Closing stream listen socket & "
                        "active stream sockets\n"),
            std::string::npos);
  EXPECT_NE(output.find("Closed stream listen socket & active stream sockets\n"),
            std::string::npos);
}

}  // namespace
