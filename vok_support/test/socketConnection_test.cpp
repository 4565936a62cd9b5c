#include <errno.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ISocketHandler.h"
#include "VOKException.h"
#include "messageExamples.h"
#include "mockSocketHandler.h"
#include "socketConnection.h"

namespace {

using testing::_;
using testing::DoAll;
using testing::HasSubstr;
using testing::Return;
using testing::SetArgReferee;
using VOK::SocketConnection;


const int Fd = 7;
const int Attempts = 101;
const std::string WaitLocation =
    "vok_support/src/socketConnection/SocketConnection::BusyWaitForVokResponse()";
const std::string TimeSlotText = WaitLocation + examples::AppName +
                                 "(Consumer): The VOK_APP did not confirmed during the time "
                                 "slot of 10 second(s)";

auto piece(const std::string& text) { return DoAll(SetArgReferee<1>(text), Return(0)); }

std::string replyNaming(std::list<std::string> names, const std::string& result = "connected") {
  std::list<VOK::DataProviderInfo> providers;
  for (const std::string& name : names) {
    ApplicationData app = examples::providerApp();
    app.setApplicationName(name);
    providers.emplace_back(app);
  }
  return VOK::ResponseData("ConnectToVOKResult", "0.1",
                           VOK::VokInformation(655, "0.1", result, "OK"), providers)
      .toString();
}

class SocketConnectionTest : public testing::Test {
 protected:
  void SetUp() override {
    ON_CALL(*handler, uxclientConnectToServer(_)).WillByDefault(Return(Fd));
    ON_CALL(*handler, sendString(_, _)).WillByDefault(Return(0));
    ON_CALL(*handler, recvString(_, _)).WillByDefault(Return(EAGAIN));
  }

  // A sign-in whose thrown text (empty when nothing was thrown) is returned.
  std::string signIn(const ConfigurationData& config) {
    try {
      connection.SignIn(config);
    } catch (const VOK::VOKException& e) {
      return e.what();
    }
    return "";
  }

  std::shared_ptr<testing::NiceMock<MockSocketHandler>> handler =
      std::make_shared<testing::NiceMock<MockSocketHandler>>();
  SocketConnection connection{handler};
  const ConfigurationData consumer = examples::signIn(examples::consumerApp());
  const ConfigurationData provider = examples::signIn(examples::providerApp());
};

TEST(SocketConnectionConstructionTest, RefusesANullHandler) {
  try {
    SocketConnection connection(nullptr);
    FAIL();
  } catch (const VOK::VOKException& e) {
    EXPECT_STREQ("Error: SocketConnection: Socket-Handler-Object must not be null", e.what());
  }
}

TEST_F(SocketConnectionTest, ConnectRetriesUntilTheBrokerAcceptsAndThenStaysConnected) {
  EXPECT_CALL(*handler, uxclientConnectToServer(3))
      .WillOnce(Return(-ENOENT))
      .WillOnce(Return(-ENOENT))
      .WillOnce(Return(Fd));
  connection.Connect(3);
  EXPECT_TRUE(connection.IsConnected());
  connection.Connect(3);
  EXPECT_TRUE(connection.IsConnected());
}

TEST_F(SocketConnectionTest, ConnectGivesUpAfterTheLastAttemptButKeepsASuccessOnIt) {
  EXPECT_CALL(*handler, uxclientConnectToServer(0)).Times(Attempts).WillRepeatedly(Return(-ENOENT));
  try {
    connection.Connect(0);
    FAIL();
  } catch (const VOK::VOKException& e) {
    EXPECT_STREQ(
        "vok_support/src/socketConnection::Connect()No answer from VOK_APP server in the time "
        "slot of 10 second(s)",
        e.what());
  }
  EXPECT_FALSE(connection.IsConnected());

  testing::Mock::VerifyAndClearExpectations(handler.get());
  testing::Sequence order;
  EXPECT_CALL(*handler, uxclientConnectToServer(0))
      .Times(Attempts - 1)
      .InSequence(order)
      .WillRepeatedly(Return(-ENOENT));
  EXPECT_CALL(*handler, uxclientConnectToServer(0)).InSequence(order).WillOnce(Return(Fd));
  connection.Connect(0);
  EXPECT_TRUE(connection.IsConnected());
}

TEST_F(SocketConnectionTest, RefusedConnectionEndsTheSignInEarlyWithoutSending) {
  EXPECT_CALL(*handler, uxclientConnectToServer(0)).WillRepeatedly(Return(-ECONNREFUSED));
  EXPECT_CALL(*handler, sendString(_, _)).Times(0);
  EXPECT_CALL(*handler, recvString(_, _)).Times(0);
  EXPECT_EQ(TimeSlotText, signIn(consumer));
  EXPECT_EQ("", signIn(provider));
  EXPECT_FALSE(connection.IsConnected());
  EXPECT_FALSE(connection.IsSignedIn());
  EXPECT_EQ(nullptr, connection.RequestVokEnvironmentConfig(0));
}

TEST_F(SocketConnectionTest, AReplyArrivingInPiecesIsReadWholeKeptAndSignsIn) {
  EXPECT_CALL(*handler, sendString(examples::ConsumerSignIn, Fd)).WillOnce(Return(0));
  EXPECT_CALL(*handler, recvString(Fd, _))
      .WillOnce(Return(EAGAIN))
      .WillOnce(piece(examples::ReplyWithProvider.substr(0, 100)))
      .WillOnce(piece(examples::ReplyWithProvider.substr(100)));
  EXPECT_EQ("", signIn(consumer));
  EXPECT_TRUE(connection.IsSignedIn());
  ASSERT_NE(nullptr, connection.getResponseData());
  EXPECT_EQ(examples::ReplyWithProvider, connection.getResponseData()->toString());
  EXPECT_EQ(
      "vok_support/src/socketConnection/SocketConnection::SignIn() Already signed in to VOK. You "
      "cannot sign in twice.",
      signIn(consumer));
}

TEST_F(SocketConnectionTest, AResultOtherThanConnectedIsNotSignedIn) {
  EXPECT_CALL(*handler, recvString(Fd, _)).WillOnce(piece(replyNaming({"p"}, "connected ")));
  EXPECT_EQ("", signIn(consumer));
  ASSERT_NE(nullptr, connection.getResponseData());
  EXPECT_FALSE(connection.IsSignedIn());
}

TEST_F(SocketConnectionTest, AReplyWithTooManyProvidersIsDroppedAndAFreshPassFollows) {
  EXPECT_CALL(*handler, recvString(Fd, _))
      .WillOnce(piece(replyNaming({"p", "q"})))
      .WillOnce(Return(EAGAIN))
      .WillOnce(piece(replyNaming({"p"})));
  testing::internal::CaptureStdout();
  const std::string thrown = signIn(consumer);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ("", thrown);
  EXPECT_EQ("ERR: (" + WaitLocation + "): invalid response data\n", out);
  EXPECT_TRUE(connection.IsSignedIn());
  EXPECT_EQ(1u, connection.getResponseData()->getDataProviderInfo().size());
}

TEST_F(SocketConnectionTest, AnAppWithoutRequestsWaitsTheWholeSeriesThenAcceptsAnEmptyReply) {
  EXPECT_CALL(*handler, recvString(Fd, _))
      .Times(Attempts)
      .WillOnce(piece(examples::ReplyWithoutProvider))
      .WillRepeatedly(Return(EAGAIN));
  EXPECT_EQ("", signIn(provider));
  EXPECT_TRUE(connection.IsSignedIn());
  EXPECT_TRUE(connection.getResponseData()->getDataProviderInfo().empty());
}

TEST_F(SocketConnectionTest, AnAppWithRequestsAndNoFittingReplyEndsWithTheTimeSlotText) {
  EXPECT_CALL(*handler, recvString(Fd, _))
      .Times(Attempts)
      .WillOnce(piece(examples::ReplyWithoutProvider))
      .WillRepeatedly(Return(EAGAIN));
  EXPECT_EQ(TimeSlotText, signIn(consumer));
  EXPECT_FALSE(connection.IsSignedIn());
  EXPECT_EQ(nullptr, connection.getResponseData());
}

TEST_F(SocketConnectionTest, ASignInThatWouldBlockThrowsWithoutWaiting) {
  EXPECT_CALL(*handler, sendString(_, Fd)).WillOnce(Return(11));
  EXPECT_CALL(*handler, recvString(_, _)).Times(0);
  EXPECT_EQ(
      "vok_support/src/socketConnection/SocketConnection::SignIn() Error while sending SignIn "
      "string. To long for the underlying buffer",
      signIn(consumer));
}

TEST_F(SocketConnectionTest, ALateEnvironmentReplyInFrontOfTheSignInReplyIsSkipped) {
  EXPECT_CALL(*handler, recvString(Fd, _))
      .WillOnce(piece(examples::EnvironmentReply))
      .WillOnce(piece(examples::EnvironmentReply + examples::ReplyWithProvider));
  EXPECT_EQ("", signIn(consumer));
  EXPECT_TRUE(connection.IsSignedIn());
}

TEST_F(SocketConnectionTest, AReplyStillIncompleteAtTheEndPassesTheReaderExceptionThrough) {
  EXPECT_CALL(*handler, recvString(Fd, _))
      .WillOnce(piece("{\"DataProviderAvailable\":"))
      .WillRepeatedly(Return(EAGAIN));
  EXPECT_THROW(connection.SignIn(consumer), std::invalid_argument);
}

TEST_F(SocketConnectionTest, EnvironmentReplySplitAtAnyByteIsReadWhole) {
  const std::string reply = examples::EnvironmentReply;
  for (size_t split = 1; split < reply.size(); ++split) {
    SocketConnection fresh{handler};
    EXPECT_CALL(*handler, uxclientConnectToServer(2)).WillOnce(Return(Fd));
    EXPECT_CALL(*handler,
                sendString(VOK::VokEnvironmentConfig::GetRequestVokEnvironmentConfig(), Fd))
        .WillOnce(Return(0));
    EXPECT_CALL(*handler, recvString(Fd, _))
        .WillOnce(piece(reply.substr(0, split)))
        .WillOnce(piece(reply.substr(split)));
    auto config = fresh.RequestVokEnvironmentConfig(2);
    ASSERT_TRUE(config) << split;
    EXPECT_EQ("0.1", config->getVersion());
    EXPECT_EQ(100u, config->getSegmentLifeTime()) << split;
  }
}

TEST_F(SocketConnectionTest, ShortEnvironmentRepliesGiveTheDefaultConfiguration) {
  EXPECT_CALL(*handler, recvString(Fd, _))
      .Times(Attempts)
      .WillOnce(piece("{\"Version\":"))
      .WillOnce(piece("\"0.1\"}"))
      .WillRepeatedly(Return(EAGAIN));
  testing::internal::CaptureStdout();
  auto config = connection.RequestVokEnvironmentConfig(0);
  EXPECT_EQ(
      "ERR: (vok_support/src/socketConnection/SocketConnection::RequestVokEnvironmentConfig()): "
      "Using default VOK environment config. The VOK_APP did not provide anything valid in the "
      "time slot of 10 second(s)\n",
      testing::internal::GetCapturedStdout());
  ASSERT_TRUE(config);
  EXPECT_EQ("0.1", config->getVersion());
  EXPECT_EQ(10u, config->getSegmentLifeTime());
}

TEST_F(SocketConnectionTest, AnEnvironmentRequestThatWouldBlockThrows) {
  EXPECT_CALL(*handler, sendString(_, Fd)).WillOnce(Return(11));
  EXPECT_CALL(*handler, recvString(_, _)).Times(0);
  EXPECT_THAT([&] { connection.RequestVokEnvironmentConfig(0); },
              testing::ThrowsMessage<VOK::VOKException>(HasSubstr(
                  "RequestVokEnvironmentConfig() Error while sending SignOut string. To long for "
                  "the underlying buffer")));
}

TEST_F(SocketConnectionTest, FitIsDecidedByCountsAlone) {
  const std::list<Requests> requests = consumer.getAppData().getRequests();
  const std::list<VOK::DataProviderInfo> one = {VOK::DataProviderInfo(examples::providerApp())};
  EXPECT_TRUE(connection.requestListFitsDataProviderList(requests, one));
  EXPECT_FALSE(connection.requestListFitsDataProviderList(requests, {}));
  EXPECT_TRUE(connection.requestListFitsDataProviderList({}, {}));
}

}  // namespace
