// How the server treats several clients over time: the ten-client limit,
// pacing, slow and vanished clients, and the frame limit per connection.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

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

// A frame within one period of the last is skipped, the next one due is
// sent. NTP stepping the wall clock, either way, and a pause in the frames
// change nothing: pacing follows the monotonic clock.
TEST_F(StreamClientsTest, FramesWithinThePeriodAreSkippedWhateverTheWallClockDoes) {
  start();
  StreamClient client(port);
  put(tinyFrame('a'));
  clock->wallOffsetUs -= 3600000000LL;
  put(tinyFrame('b'), framePeriodUs);  // too early
  put(tinyFrame('c'), 1);              // due
  clock->wallOffsetUs += 7200000000LL;
  put(tinyFrame('d'), 1);              // too early
  put(tinyFrame('e'), 60000000);       // a minute without frames: due, the client kept
  client.read(212);
  const std::string expected = partFor(tinyFrame('a')) + partFor(tinyFrame('c')) + partFor(tinyFrame('e'));
  EXPECT_EQ(client.read(expected.size()), expected);
  EXPECT_FALSE(client.anythingWithin(50));
  EXPECT_EQ(count, 1);
}

// A client whose socket stays full for the time-out loses its slot; one that
// takes bytes, however few, keeps it.
TEST_F(StreamClientsTest, ClientTakingNoBytesForTheTimeoutIsClosedWhileSlowOneStays) {
  start();
  ASSERT_EQ(server.client_timeout_us, stream_default_client_timeout_us);
  StreamClient stalled(port, 4096);
  StreamClient slow(port, 4096);
  const std::string big(bigFrameSize, '\x33');
  put(big);
  ASSERT_EQ(count, 2);
  const int64_t stepUs = 3000000;
  for (int64_t waited = stepUs; waited <= 4 * stepUs; waited += stepUs) {
    EXPECT_EQ(slow.read(65536).size(), 65536u);
    testing::internal::CaptureStdout();
    put(big, stepUs);
    const std::string output = testing::internal::GetCapturedStdout();
    const bool due = waited >= stream_default_client_timeout_us;
    EXPECT_EQ(count, due ? 1 : 2) << waited;
    EXPECT_EQ(output.find("a client took no bytes within its time-out, closed") != std::string::npos, due);
  }
  EXPECT_TRUE(stalled.closedByServer(2000));
  EXPECT_EQ(slow.read(65536).size(), 65536u);
}

TEST_F(StreamClientsTest, ClientSocketsProbeVanishedPeersAndBoundTheirSendBuffer) {
  start();
  StreamClient client(port);
  put(tinyFrame('a'));
  ASSERT_EQ(count, 1);
  const struct {
    int level, name, expected;
  } options[] = {{SOL_SOCKET, SO_KEEPALIVE, 1}, {IPPROTO_TCP, TCP_KEEPIDLE, 10},
                 {IPPROTO_TCP, TCP_KEEPINTVL, 5}, {IPPROTO_TCP, TCP_KEEPCNT, 3}};
  for (const auto& option : options) {
    int value = -1;
    socklen_t size = sizeof(value);
    ASSERT_EQ(getsockopt(server.next->socket, option.level, option.name, &value, &size), 0);
    EXPECT_EQ(value, option.expected) << option.name;
  }
  int sendBuffer = 0;
  socklen_t size = sizeof(sendBuffer);
  ASSERT_EQ(getsockopt(server.next->socket, SOL_SOCKET, SO_SNDBUF, &sendBuffer, &size), 0);
  EXPECT_LE(sendBuffer, 256 * 1024);
}

TEST_F(StreamClientsTest, ClientClosingMidFrameIsDroppedWhileOthersGoOn) {
  start();
  StreamClient steady(port);
  put(tinyFrame('a'));
  auto leaving = std::make_unique<StreamClient>(port, 4096);
  const std::string big(bigFrameSize, '\x11');  // no marker: sent whole
  put(big);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(leaving->read(212 + 100).size(), 312u);
  leaving->close();

  std::string seen;
  const std::string last = partFor(tinyFrame('z'));
  ASSERT_TRUE(putUntil(tinyFrame('z'), [&] {
    seen += steady.readToEnd(5);
    return count == 1 && seen.size() > 212 + partFor(big).size() &&
           seen.compare(seen.size() - last.size(), last.size(), last) == 0;
  })) << "count " << count << ", seen " << seen.size();
  EXPECT_EQ(seen.compare(212 + partFor(tinyFrame('a')).size(), partFor(big).size(), partFor(big)), 0);
}

TEST_F(StreamClientsTest, SlowClientSkipsFramesWhileFastClientGetsEveryOne) {
  start();
  ignoreStalls();
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
  ignoreStalls();
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
