// Failures of the socket layer that real sockets cannot produce on demand.
#include "VOKException.h"
#include "brokerLookup.h"
#include "socketHandlerWithMock.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

using ::testing::_;
using ::testing::HasSubstr;
using ::testing::Invoke;
using ::testing::Return;

namespace {

TEST(SocketHandlerConstruction, NullLayerIsRefusedWithItsText) {
  try {
    SocketHandler handler(nullptr, 0);
    FAIL();
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ("Error: SocketHandler: SocketWrapperLinux must not be null", e.what());
  }
}

TEST_F(SocketHandlerWithMock, SocketCreationFailureOrDescriptorZeroThrowsWithStrerrorLogged) {
  EXPECT_CALL(*functions, _socket(_, _, _)).WillOnce(Invoke(failWith(EMFILE))).WillOnce(Return(0));
  auto [thrown, logged] = failureOf([&] { SocketHandler handler(functions, 0); });
  EXPECT_EQ(std::strerror(EMFILE), thrown);
  EXPECT_THAT(logged, HasSubstr(std::string("ERR: (vok_support/src/socketHandler): Error generating socket: ") +
                                std::strerror(EMFILE) + "\n"));
  EXPECT_THROW(SocketHandler(functions, 0), VOK::VOKException);
}

struct OptionFailure {
  int failingOption;
  const char* logLine;
};

class ServerSetupFailure : public SocketHandlerWithMock,
                           public ::testing::WithParamInterface<OptionFailure> {};

TEST_P(ServerSetupFailure, ThrowsStrerrorLogsItsLineAndKeepsForeignSocketFile) {
  const OptionFailure& row = GetParam();
  ON_CALL(*functions, _setsockopt(kFd, SOL_SOCKET, row.failingOption, _, sizeof(int)))
      .WillByDefault(Invoke(failWith(ENOPROTOOPT)));
  EXPECT_CALL(*functions, _bind(_, _, _)).Times(0);
  EXPECT_CALL(*functions, _unlink(_)).Times(0);
  auto handler = makeHandler();
  auto [thrown, logged] = failureOf([&] { handler->uxsetupServerSocket(); });
  EXPECT_EQ(std::strerror(ENOPROTOOPT), thrown);
  EXPECT_EQ(std::string(row.logLine) + std::strerror(ENOPROTOOPT) + "\n", logged);
}

INSTANTIATE_TEST_SUITE_P(
    EachOption, ServerSetupFailure,
    ::testing::Values(
        OptionFailure{SO_REUSEPORT, "ERR: (vok_support/src/socketHandler:uxsetupServerSocket()): setsockopt error: "},
        OptionFailure{SO_SNDBUF, "ERR: (vok_support/src/socketHandler): setsockopt SO_SNDBUF error: "},
        OptionFailure{SO_RCVBUF, "ERR: (vok_support/src/socketHandler): setsockopt SO_RCVBUF error: "}));

TEST_F(SocketHandlerWithMock, ReusePortUnsupportedOnLocalSocketsIsNoFailure) {
  ON_CALL(*functions, _setsockopt(kFd, SOL_SOCKET, SO_REUSEPORT, _, _)).WillByDefault(Invoke(failWith(EOPNOTSUPP)));
  EXPECT_CALL(*functions, _bind(kFd, _, _)).WillOnce(Return(0));
  EXPECT_EQ(0, makeHandler()->uxsetupServerSocket());
}

TEST_F(SocketHandlerWithMock, BindFailureThrowsAndLeavesTheLiveListenersFileInPlace) {
  const int probe = kFd + 1;
  EXPECT_CALL(*functions, _socket(AF_UNIX, SOCK_STREAM, 0)).WillOnce(Return(kFd)).WillOnce(Return(probe));
  EXPECT_CALL(*functions, _connect(probe, _, sizeof(sockaddr_un))).WillOnce(Return(0));
  EXPECT_CALL(*functions, _fcntl(probe, _, _)).Times(2);
  EXPECT_CALL(*functions, _close(probe)).Times(1);
  EXPECT_CALL(*functions, _fcntl(kFd, F_GETFL, _)).WillOnce(Return(O_RDWR));
  EXPECT_CALL(*functions, _fcntl(kFd, F_SETFL, O_RDWR | O_NONBLOCK)).WillOnce(Return(0));
  EXPECT_CALL(*functions, _bind(kFd, _, sizeof(sockaddr_un))).WillOnce(Invoke(failWith(EADDRINUSE)));
  EXPECT_CALL(*functions, _close(kFd)).Times(1);
  EXPECT_CALL(*functions, _unlink(_)).Times(0);
  auto handler = makeHandler();
  auto [thrown, logged] = failureOf([&] { handler->uxsetupServerSocket(); });
  EXPECT_EQ(std::strerror(EADDRINUSE), thrown);
  EXPECT_EQ(std::string("ERR: (vok_support/src/socketHandler): bind-socket error: ") + std::strerror(EADDRINUSE) + "\n",
            logged);
}

TEST_F(SocketHandlerWithMock, ClientHandlerLeavesItsDescriptorOpen) {
  EXPECT_CALL(*functions, _close(_)).Times(0);
  EXPECT_CALL(*functions, _unlink(_)).Times(0);
  makeHandler();
}

TEST_F(SocketHandlerWithMock, ListenIsRefusedOnAClientAndReportsItsFailureOnAServer) {
  auto client = makeHandler();
  auto [clientText, clientLog] = failureOf([&] { client->serverListen(); });
  EXPECT_EQ("serverListen was called from Client", clientText);
  EXPECT_EQ("ERR: (vok_support/src/socketHandler:serverListen()): Connect to socket - error: "
            "serverListen was called from Client\n",
            clientLog);

  auto server = makeHandler();
  server->uxsetupServerSocket();
  EXPECT_CALL(*functions, _listen(kFd, 10)).WillOnce(Invoke(failWith(EOPNOTSUPP)));
  auto [serverText, serverLog] = failureOf([&] { server->serverListen(); });
  EXPECT_EQ(std::strerror(EOPNOTSUPP), serverText);
  EXPECT_EQ(std::string("ERR: (vok_support/src/socketHandler:serverListen()): ") + std::strerror(EOPNOTSUPP) + "\n",
            serverLog);
}

TEST_F(SocketHandlerWithMock, ConnectIsRefusedOnAServer) {
  auto server = makeHandler();
  server->uxsetupServerSocket();
  EXPECT_CALL(*functions, _connect(_, _, _)).Times(0);
  auto [thrown, logged] = failureOf([&] { server->uxclientConnectToServer(0); });
  EXPECT_EQ("clientConnectToServer was called from Server", thrown);
  EXPECT_EQ("ERR: (vok_support/src/socketHandler::uxclientConnectToServer()<42>): Connect to socket - error: "
            "clientConnectToServer was called from Server\n",
            logged);
}

struct ListeningPeer {
  uid_t uid;
  int credentialsError;  // 0 where they can be read
  std::string refusal;   // empty where the broker is used
};

class BrokerPeer : public SocketHandlerWithMock, public ::testing::WithParamInterface<ListeningPeer> {};

// Anyone can listen on a broker's socket file under the broker's name; an
// app keeps only a connection to its own user or root and leaves the other
// broker on a fresh socket.
TEST_P(BrokerPeer, ConnectionToAnotherUsersBrokerIsDroppedWithOneLineNamingSocketAndUid) {
  const ListeningPeer& row = GetParam();
  const bool trusted = row.refusal.empty();
  EXPECT_CALL(*functions, _connect(kFd, _, _)).WillOnce(Return(0));
  EXPECT_CALL(*functions, _getsockopt(kFd, SOL_SOCKET, SO_PEERCRED, _, _))
      .WillOnce(Invoke([&](int, int, int, void* value, unsigned*) {
        static_cast<ucred*>(value)->uid = row.uid;
        errno = row.credentialsError;
        return row.credentialsError == 0 ? 0 : -1;
      }));
  EXPECT_CALL(*functions, _close(kFd)).Times(trusted ? 0 : 1);
  auto handler = makeHandler();
  auto [thrown, logged] = failureOf([&] { EXPECT_EQ(trusted ? kFd : -EACCES, handler->uxclientConnectToServer(0)); });
  if (trusted) {
    EXPECT_EQ("", logged);
  } else {
    EXPECT_THAT(logged, HasSubstr("ERR: (vok_support/src/socketHandler::uxclientConnectToServer()<42>): Not using the "
                                  "broker at /tmp/sock_4711.uds: " + row.refusal + "\n"));
    EXPECT_NE("/tmp/sock_4711.uds", handler->getSocketPath()) << "the refused broker is left out";
  }
}

// A root uid beside a failed read stands for what the call left: it must not count.
INSTANTIATE_TEST_SUITE_P(
    OwnUserRootOtherOrUnknown, BrokerPeer,
    ::testing::Values(ListeningPeer{::geteuid(), 0, ""}, ListeningPeer{0, 0, ""},
                      ListeningPeer{4242, 0, "it runs as uid 4242, neither this app's user nor root"},
                      ListeningPeer{0, ENOPROTOOPT,
                                    std::string("cannot tell who listens there - error: ") + std::strerror(ENOPROTOOPT)}));

TEST_F(SocketHandlerWithMock, EveryAcceptFailureBecomesMinusElevenAfterAPause) {
  EXPECT_CALL(*functions, _accept(kFd, ::testing::An<sockaddr_un*>(), _)).WillOnce(Invoke(failWith(EMFILE)));
  auto handler = makeHandler();
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(-11, handler->uxserverAccept());
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(10));
}

TEST(SelectServerPID, PicksTheIndexedEntryAndFallsBackToTheFirst) {
  EXPECT_EQ(812, selectBrokerPid("812 655\n", 0));
  EXPECT_EQ(655, selectBrokerPid("812 655\n", 1));
  EXPECT_EQ(812, selectBrokerPid("812 655\n", 2));
  EXPECT_EQ(0, selectBrokerPid("812 655\n", 64));
  EXPECT_EQ(0, selectBrokerPid("", 0));
  EXPECT_EQ(0, SocketHandler::getServerPID(64));
}

}  // namespace
