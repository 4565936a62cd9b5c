// The transport over real local sockets.
#include "SocketWrapperLinux.h"
#include "VOKException.h"
#include "brokerLookup.h"
#include "socketHandler.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

bool fileExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

// A socket listening on path, as a broker's; closing it leaves the file as a killed broker would.
int listenAt(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", path.c_str());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  EXPECT_EQ(0, ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)));
  EXPECT_EQ(0, ::listen(fd, 1));
  return fd;
}

class SocketPair : public ::testing::Test {
 protected:
  void SetUp() override {
    // The default action of SIGPIPE must be in force to show that no send raises it.
    std::signal(SIGPIPE, SIG_DFL);
    ASSERT_EQ(0, ::socketpair(AF_UNIX, SOCK_STREAM, 0, fds));
  }
  void TearDown() override {
    for (int fd : fds) {
      if (fd >= 0) ::close(fd);
    }
  }
  void closePeer() {
    ::close(fds[1]);
    fds[1] = -1;
  }
  std::shared_ptr<SocketWrapperLinux> functions = std::make_shared<SocketWrapperLinux>();
  SocketHandler handler{functions, 0};
  int fds[2] = {-1, -1};
};

TEST_F(SocketPair, LongMessageArrivesAsOneKilobyteAndThenTheRest) {
  const std::string message(1500, 'x');
  ASSERT_EQ(0, handler.sendString(message, fds[0]));
  std::string first, second;
  ASSERT_EQ(0, handler.recvString(fds[1], first));
  ASSERT_EQ(0, handler.recvString(fds[1], second));
  EXPECT_EQ(1024u, first.size());
  EXPECT_EQ(476u, second.size());
  EXPECT_EQ(message, first + second);
}

TEST_F(SocketPair, TwoMessagesBackToBackMayArriveAsOnePiece) {
  ASSERT_EQ(0, handler.sendString("{\"a\":1}", fds[0]));
  ASSERT_EQ(0, handler.sendString("{\"b\":2}", fds[0]));
  std::string piece = "old content that is longer";
  ASSERT_EQ(0, handler.recvString(fds[1], piece));
  EXPECT_EQ("{\"a\":1}{\"b\":2}", piece);
}

TEST_F(SocketPair, NothingPendingGivesEagainAfterAPauseAndKeepsTheOutput) {
  std::string out = "untouched";
  auto start = Clock::now();
  EXPECT_EQ(EAGAIN, handler.recvString(fds[1], out));
  auto elapsed = Clock::now() - start;
  EXPECT_EQ("untouched", out);
  EXPECT_GE(elapsed, std::chrono::milliseconds(10));
  EXPECT_LT(elapsed, std::chrono::milliseconds(500));
}

TEST_F(SocketPair, ClosedPeerGivesTheErrnoFromBeforeTheCall) {
  closePeer();
  std::string out = "untouched";
  errno = 0;
  EXPECT_EQ(0, handler.recvString(fds[0], out));
  EXPECT_EQ("untouched", out);
}

// Without MSG_NOSIGNAL the default action of SIGPIPE would end this process here.
TEST_F(SocketPair, SendToClosedPeerThrowsAndLogsBrokenPipeAndTheProcessSurvives) {
  closePeer();
  const std::string reason = std::string("Sending package hello - Errno: ") + std::strerror(EPIPE);
  ::testing::internal::CaptureStdout();
  try {
    handler.sendString("hello", fds[0]);
    ADD_FAILURE() << "no exception";
  } catch (const VOK::VOKException& e) {
    EXPECT_EQ(reason, e.what());
  }
  EXPECT_EQ("ERR: (vok_support/src/socketHandler::sendString()<" + std::to_string(fds[0]) +
                ">):  Error occurred while receiving: " + reason + "\n",
            ::testing::internal::GetCapturedStdout());
}

// The socket blocks: only a send with MSG_DONTWAIT comes back from a full buffer.
TEST_F(SocketPair, FullSocketBufferGivesElevenAfterAPause) {
  int small = 2048;
  ASSERT_EQ(0, ::setsockopt(fds[0], SOL_SOCKET, SO_SNDBUF, &small, sizeof(small)));
  const std::string chunk(512, 'y');
  int result = 0;
  for (int i = 0; i < 10000 && result == 0; ++i) {
    ::testing::internal::CaptureStdout();
    auto start = Clock::now();
    result = handler.sendString(chunk, fds[0]);
    auto elapsed = Clock::now() - start;
    std::string logged = ::testing::internal::GetCapturedStdout();
    if (result == 11) {
      EXPECT_GE(elapsed, std::chrono::milliseconds(10));
      EXPECT_EQ("Log: (vok_support/src/socketHandler::sendString()<" + std::to_string(fds[0]) +
                    ">): socket SEND in nonblocking I/O mode\n",
                logged);
    }
  }
  EXPECT_EQ(11, result);
}

class LocalServer : public ::testing::Test {
 protected:
  LocalServer() {
    server.setUDS(static_cast<int>(::getpid()));
    client.setUDS(static_cast<int>(::getpid()));
  }
  std::shared_ptr<SocketWrapperLinux> functions = std::make_shared<SocketWrapperLinux>();
  SocketHandler server{functions, 0};
  SocketHandler client{functions, 0};
};

// Whatever pid the lookup named, the listening end binds its own pid's path.
TEST_F(LocalServer, AcceptsAClientOnItsOwnPathExchangesTextAndClosesAndRemovesItsFile) {
  const std::string path = server.getSocketPath();
  EXPECT_EQ("/tmp/sock_" + std::to_string(::getpid()) + ".uds", path);
  int listening = -1;
  {
    SocketHandler owner{functions, 0};
    owner.setUDS(4711);
    listening = owner.getSocketFd();
    ASSERT_EQ(0, owner.uxsetupServerSocket());
    ASSERT_EQ(0, owner.serverListen());
    EXPECT_TRUE(fileExists(path));

    auto start = Clock::now();
    EXPECT_EQ(-11, owner.uxserverAccept());
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(10));

    const int connected = client.uxclientConnectToServer(0);
    ASSERT_EQ(client.getSocketFd(), connected);
    const int accepted = owner.uxserverAccept();
    ASSERT_GT(accepted, owner.getSocketFd());

    ASSERT_EQ(0, client.sendString("ping", connected));
    std::string piece;
    ASSERT_EQ(0, owner.recvString(accepted, piece));
    EXPECT_EQ("ping", piece);
    ::close(accepted);
  }
  EXPECT_FALSE(fileExists(path));
  EXPECT_EQ(-1, ::fcntl(listening, F_GETFD)) << "the listening socket is closed";
}

TEST_F(LocalServer, ClientWithoutServerGetsNegatedErrnoAndCanRetry) {
  ::unlink(client.getSocketPath().c_str());
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(-ENOENT, client.uxclientConnectToServer(0));
  std::string logged = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(std::string::npos, logged.find("): Connect to socket" + client.getSocketPath() + " - error: " +
                                           std::strerror(ENOENT)));

  ASSERT_EQ(0, server.uxsetupServerSocket());
  ASSERT_EQ(0, server.serverListen());
  EXPECT_EQ(client.getSocketFd(), client.uxclientConnectToServer(0));
}

TEST_F(LocalServer, StaleSocketFileWithoutListenerIsReplaced) {
  ::close(listenAt(server.getSocketPath()));

  ::testing::internal::CaptureStdout();
  ASSERT_EQ(0, server.uxsetupServerSocket());
  EXPECT_EQ("Log: (vok_support/src/socketHandler): Removed stale socket file " + server.getSocketPath() + "\n",
            ::testing::internal::GetCapturedStdout());
  ASSERT_EQ(0, server.serverListen());
  EXPECT_EQ(client.getSocketFd(), client.uxclientConnectToServer(0));
}

TEST_F(LocalServer, SecondServerOnTheSamePathFailsAndLeavesTheFirstOnesFile) {
  ASSERT_EQ(0, server.uxsetupServerSocket());
  ASSERT_EQ(0, server.serverListen());
  {
    SocketHandler second{functions, 0};
    second.setUDS(static_cast<int>(::getpid()));
    ::testing::internal::CaptureStdout();
    EXPECT_THROW(second.uxsetupServerSocket(), VOK::VOKException);
    EXPECT_NE(std::string::npos, ::testing::internal::GetCapturedStdout().find("bind-socket error: "));
  }
  EXPECT_TRUE(fileExists(server.getSocketPath()));
}

TEST_F(LocalServer, OnlyAPidWhoseSocketFileListensIsAReachableBroker) {
  const int own = static_cast<int>(::getpid());
  const std::string path = server.getSocketPath();
  ::unlink(path.c_str());
  EXPECT_FALSE(brokerAcceptsConnections(own));
  {
    // A plain file, then a socket file whose owner is gone.
    FILE* plain = std::fopen(path.c_str(), "w");
    ASSERT_NE(nullptr, plain);
    std::fclose(plain);
    EXPECT_FALSE(brokerAcceptsConnections(own));
    ::unlink(path.c_str());
    const int stale = listenAt(path);
    EXPECT_TRUE(brokerAcceptsConnections(own));
    ::close(stale);
    EXPECT_FALSE(brokerAcceptsConnections(own));
    ::unlink(path.c_str());
  }
  ASSERT_EQ(0, server.uxsetupServerSocket());
  EXPECT_FALSE(brokerAcceptsConnections(own));
  ASSERT_EQ(0, server.serverListen());
  EXPECT_TRUE(brokerAcceptsConnections(own));
  // Inside a broker every lookup names that broker.
  EXPECT_EQ(own, SocketHandler::getServerPID(0));
  EXPECT_EQ(own, SocketHandler::getServerPID(1));
}

}  // namespace
