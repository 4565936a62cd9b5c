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

TEST_F(StreamFailureTest, FailedSocketGivesMinusOneWithoutMessage) {
  EXPECT_CALL(*failing, _socket(AF_INET, SOCK_STREAM, 0)).WillOnce(Return(-1));
  testing::internal::CaptureStdout();
  EXPECT_EQ(stream_init(&server, 0, 1, 0, nullptr), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(server.socket, -1);
}

// The listening line names the address text directly followed by the
// requested port (0 here); a busy port gives -1 without a message.
TEST_F(StreamFailureTest, ListeningLineNamesAddressAndPortAndBusyPortGivesMinusOneSilently) {
  testing::internal::CaptureStdout();
  start();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Log: (ZentorMotion(ZM)C::http_bindsock()): listening on 127.0.0.10\n");
  testing::internal::CaptureStdout();
  EXPECT_EQ(http_bindsock(*failing, port, 1, 0), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
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

// Every write also suppresses SIGPIPE.
TEST_F(StreamFailureTest, FullOrInterruptedWritesKeepClientAndResumeWhereTheyStopped) {
  start();
  StreamClient client(port);
  const ssize_t results[] = {0, -EAGAIN, -EINTR, 100};  // then writes as Linux does
  size_t call = 0;
  EXPECT_CALL(*failing, _send(_, _, _, _)).WillRepeatedly([&](int fd, const void* b, size_t n, int flags) {
    EXPECT_NE(flags & MSG_NOSIGNAL, 0) << call;
    const ssize_t result = call < std::size(results) ? results[call++] : static_cast<ssize_t>(n);
    if (result < 0) {
      errno = static_cast<int>(-result);
      return ssize_t{-1};
    }
    return result == 0 ? 0 : failing->StreamWrapperLinux::_send(fd, b, static_cast<size_t>(result), flags);
  });
  put(tinyFrame('a'));
  put(tinyFrame('b'));
  put(tinyFrame('c'));
  EXPECT_EQ(count, 1);
  const std::string header = client.read(212);
  EXPECT_EQ(header.size(), 212u);
  EXPECT_EQ(header.substr(0, 17), "HTTP/1.0 200 OK\r\n");
  EXPECT_EQ(client.read(partFor(tinyFrame('c')).size()), partFor(tinyFrame('c')));
}

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
