// System calls that fail under the stream server: a substitute lets exactly
// one call fail and forwards the rest to Linux.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>

#include "StreamFixture.h"
#include "StreamServer.h"

namespace {

using ::testing::_;
using ::testing::HasSubstr;
using ::testing::Invoke;
using ::testing::Return;

class FailingStreamFunctions : public SteppedClock {
 public:
  FailingStreamFunctions() {
    ON_CALL(*this, _socket).WillByDefault([this](int d, int t, int p) {
      return StreamWrapperLinux::_socket(d, t, p);
    });
    ON_CALL(*this, _accept).WillByDefault([this](int fd, sockaddr* a, socklen_t* l) {
      return StreamWrapperLinux::_accept(fd, a, l);
    });
    ON_CALL(*this, _send).WillByDefault([this](int fd, const void* b, size_t n, int f) {
      return StreamWrapperLinux::_send(fd, b, n, f);
    });
  }
  MOCK_METHOD(int, _socket, (int, int, int), (override));
  MOCK_METHOD(int, _accept, (int, sockaddr*, socklen_t*), (override));
  MOCK_METHOD(ssize_t, _send, (int, const void*, size_t, int), (override));
};

class StreamFailureTest : public StreamServerTest {
 protected:
  void SetUp() override {
    clock = failing;
    StreamServerTest::SetUp();
  }
  std::shared_ptr<testing::NiceMock<FailingStreamFunctions>> failing =
      std::make_shared<testing::NiceMock<FailingStreamFunctions>>();
};

ssize_t failWith(int error) {
  errno = error;
  return -1;
}

TEST_F(StreamFailureTest, FailedSocketGivesMinusOneWithoutMessage) {
  EXPECT_CALL(*failing, _socket(AF_INET, SOCK_STREAM, 0)).WillOnce(Return(-1));
  testing::internal::CaptureStdout();
  EXPECT_EQ(stream_init(&server, 0, 1, 0, nullptr), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(server.socket, -1);
}

TEST_F(StreamFailureTest, BusyPortGivesMinusOneWithoutMessage) {
  start();
  testing::internal::CaptureStdout();
  EXPECT_EQ(http_bindsock(*failing, port, 1, 0), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(StreamFailureTest, ListeningLineNamesAddressTextDirectlyFollowedByRequestedPort) {
  testing::internal::CaptureStdout();
  start();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Log: (ZentorMotion(ZM)C::http_bindsock()): listening on 127.0.0.10\n");  // port 0
}

TEST_F(StreamFailureTest, FailedAcceptIsLoggedAndLeavesNoClient) {
  start();
  StreamClient client(port);
  EXPECT_CALL(*failing, _accept(server.socket, _, _)).WillOnce(Return(-1));
  testing::internal::CaptureStdout();
  put(tinyFrame('a'));
  EXPECT_THAT(testing::internal::GetCapturedStdout(),
              HasSubstr("Log: (ZentorMotion(ZM)C::http_acceptsock()): stream accept()\n"));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(server.next, nullptr);
}

TEST_F(StreamFailureTest, FullOrInterruptedWritesKeepClientAndResumeWhereTheyStopped) {
  start();
  StreamClient client(port);
  EXPECT_CALL(*failing, _send(_, _, _, _))
      .WillOnce(Return(0))
      .WillOnce(Invoke([](int, const void*, size_t, int) { return failWith(EAGAIN); }))
      .WillOnce(Invoke([](int, const void*, size_t, int) { return failWith(EINTR); }))
      .WillOnce(Invoke([this](int fd, const void* b, size_t, int f) {
        return failing->StreamWrapperLinux::_send(fd, b, 100, f);  // a short write
      }))
      .WillRepeatedly(Invoke([this](int fd, const void* b, size_t n, int f) {
        return failing->StreamWrapperLinux::_send(fd, b, n, f);
      }));
  put(tinyFrame('a'));
  put(tinyFrame('b'));
  put(tinyFrame('c'));
  EXPECT_EQ(count, 1);
  const std::string header = client.read(212);
  EXPECT_EQ(header.size(), 212u);
  EXPECT_EQ(header.substr(0, 17), "HTTP/1.0 200 OK\r\n");
  EXPECT_EQ(client.read(partFor(tinyFrame('c')).size()), partFor(tinyFrame('c')));
}

TEST_F(StreamFailureTest, EveryClientWriteSuppressesSigpipe) {
  start();
  StreamClient client(port);
  EXPECT_CALL(*failing, _send(_, _, _, _))
      .WillRepeatedly(Invoke([this](int fd, const void* b, size_t n, int flags) {
        EXPECT_NE(flags & MSG_NOSIGNAL, 0);
        return failing->StreamWrapperLinux::_send(fd, b, n, flags);
      }));
  put(tinyFrame('a'));
  EXPECT_EQ(client.read(212).size(), 212u);
}

}  // namespace

namespace {

// The owner closes only what it opened: a server whose socket failed stops nothing.
TEST_F(StreamFailureTest, ServerObjectClosesItsOwnSocketWhenDestroyed) {
  EXPECT_CALL(*failing, _socket(AF_INET, SOCK_STREAM, 0)).WillOnce(Return(-1)).WillRepeatedly(testing::DoDefault());
  for (bool opens : {false, true}) {
    testing::internal::CaptureStdout();
    {
      const StreamServer server(failing, 0, 1, 0, stream_default_client_timeout_us);
      EXPECT_EQ(server.isOpen(), opens);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("Closed stream listen socket") != std::string::npos, opens);
  }
}

}  // namespace
