// The string transport's failures that real sockets cannot produce on demand.
#include "VOKException.h"
#include "socketHandlerWithMock.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

using ::testing::_;
using ::testing::HasSubstr;
using ::testing::Invoke;
using ::testing::Return;

namespace {

TEST_F(SocketHandlerWithMock, SendTooLargeThrowsTheTraceText) {
  EXPECT_CALL(*functions, _send(_, _, _, _)).WillOnce(Invoke(failWith(EMSGSIZE, 0)));
  auto handler = makeHandler();
  auto [thrown, logged] = failureOf([&] { handler->sendString("abc", 7); });
  const std::string trace = "---->Sending string: <abc>to socketfd: 7 with length: <3>";
  EXPECT_EQ(trace, thrown);
  EXPECT_EQ("ERR: (vok_support/src/socketHandler::sendString()<7>): the message is not transmitted: " + trace + "\n",
            logged);
}

TEST_F(SocketHandlerWithMock, PartialSendDeliversTheRestInsteadOfTruncating) {
  std::string delivered;
  EXPECT_CALL(*functions, _send(7, _, _, _))
      .WillOnce(Invoke([&](int, const void* b, unsigned, int) {
        delivered.append(static_cast<const char*>(b), 4);
        return 4;
      }))
      .WillOnce(Invoke(failWith(EAGAIN, 0)))
      .WillOnce(Invoke([&](int, const void* b, unsigned n, int) {
        delivered.append(static_cast<const char*>(b), n);
        return static_cast<int>(n);
      }));
  EXPECT_EQ(0, makeHandler()->sendString("0123456789", 7));
  EXPECT_EQ("0123456789", delivered);
}

TEST_F(SocketHandlerWithMock, PartialSendThatNeverCompletesThrows) {
  EXPECT_CALL(*functions, _send(7, _, _, _)).WillOnce(Return(4)).WillOnce(Invoke(failWith(ECONNRESET, 0)));
  auto handler = makeHandler();
  auto [thrown, logged] = failureOf([&] { handler->sendString("0123456789", 7); });
  EXPECT_THAT(thrown, HasSubstr("6 bytes not sent"));
}

TEST_F(SocketHandlerWithMock, ReceiveErrorIsReturnedAndOutputKept) {
  EXPECT_CALL(*functions, _recv(7, _, 1024u, MSG_DONTWAIT)).WillOnce(Invoke(failWith(ECONNRESET, 0)));
  std::string out = "kept";
  EXPECT_EQ(ECONNRESET, makeHandler()->recvString(7, out));
  EXPECT_EQ("kept", out);
}

TEST_F(SocketHandlerWithMock, DescriptorsBelowOneAreRefusedWithTheirTexts) {
  auto handler = makeHandler();
  EXPECT_CALL(*functions, _send(_, _, _, _)).Times(0);
  EXPECT_CALL(*functions, _recv(_, _, _, _)).Times(0);
  auto [sendText, sendLog] = failureOf([&] { handler->sendString("x", 0); });
  EXPECT_EQ("socketFd not set correctly(value is 0)", sendText);
  EXPECT_EQ("ERR: (vok_support/src/socketHandler::sendString()<0>): socketFd not set correctly(value is 0)\n", sendLog);
  std::string out;
  auto [recvText, recvLog] = failureOf([&] { handler->recvString(-1, out); });
  EXPECT_EQ("socketFd not set correctly, value is <-1>", recvText);
  EXPECT_EQ("ERR: (vok_support/src/socketHandler::recvString()<-1>): socketFd not set correctly, value is <-1>\n",
            recvLog);
}

TEST_F(SocketHandlerWithMock, InternetVariantsAlwaysThrow) {
  auto handler = makeHandler();
  EXPECT_CALL(*functions, _bind(_, _, _)).Times(0);
  auto wait = failureOf([&] { handler->serverWaitForConnection(); });
  EXPECT_EQ("vok_support/src/socketHandler:serverWaitForConnection() wrong SOCKET_FAMILY, need to be AF_INET",
            wait.first);
  EXPECT_EQ("wrong SOCKET_FAMILY, AF_INET is required",
            failureOf([&] { handler->clientConnectToServer("127.0.0.1", 80); }).first);
  EXPECT_THROW(handler->setupServerSocket(80), VOK::VOKException);
}

}  // namespace
