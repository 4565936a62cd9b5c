#include <errno.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "ISocketHandler.h"
#include "VOKException.h"
#include "messageExamples.h"
#include "mockSocketHandler.h"
#include "socketConnection.h"

namespace {

using testing::_;
using testing::HasSubstr;
using testing::Return;
using VOK::SocketConnection;

const int Fd = 7;
const int Attempts = 101;
const std::string WaitLocation =
    "vok_support/src/socketConnection/SocketConnection::BusyWaitForVokResponse()";
const std::string TimeSlotText = WaitLocation + examples::AppName +
                                 "(Consumer): The VOK_APP did not confirmed during the time "
                                 "slot of 10 second(s)";

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

  // Each receive on Fd delivers the next piece ("" for nothing pending), then nothing.
  void receive(std::vector<std::string> pieces) {
    receives = 0;
    ON_CALL(*handler, recvString(Fd, _)).WillByDefault([this, pieces](int, std::string& out) {
      const size_t at = receives++;
      if (at >= pieces.size() || pieces[at].empty()) {
        return EAGAIN;
      }
      out = pieces[at];
      return 0;
    });
  }

  // A sign-in (on the fixture's connection unless named) whose thrown text,
  // empty when nothing was thrown, is returned; what it printed is kept in logged.
  std::string signIn(const ConfigurationData& config, SocketConnection* on = nullptr) {
    std::string thrown;
    testing::internal::CaptureStdout();
    try {
      (on ? *on : connection).SignIn(config);
    } catch (const VOK::VOKException& e) {
      thrown = e.what();
    }
    logged = testing::internal::GetCapturedStdout();
    return thrown;
  }

  std::shared_ptr<testing::NiceMock<MockSocketHandler>> handler =
      std::make_shared<testing::NiceMock<MockSocketHandler>>();
  SocketConnection connection{handler};
  size_t receives = 0;
  std::string logged;
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

// Connected, it does not connect again.
TEST_F(SocketConnectionTest, ConnectGivesUpAfterTheLastAttemptButKeepsASuccessOnItAndThenStaysConnected) {
  EXPECT_CALL(*handler, uxclientConnectToServer(3)).Times(Attempts).WillRepeatedly(Return(-ENOENT));
  try {
    connection.Connect(3);
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
  EXPECT_CALL(*handler, uxclientConnectToServer(3))
      .Times(Attempts - 1)
      .InSequence(order)
      .WillRepeatedly(Return(-ENOENT));
  EXPECT_CALL(*handler, uxclientConnectToServer(3)).InSequence(order).WillOnce(Return(Fd));
  connection.Connect(3);
  EXPECT_TRUE(connection.IsConnected());
  connection.Connect(3);
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

TEST_F(SocketConnectionTest, AReplyArrivingInPiecesIsReadWholeKeptAndSignsInOnce) {
  EXPECT_CALL(*handler, sendString(examples::ConsumerSignIn, Fd)).WillOnce(Return(0));
  receive({"", examples::ReplyWithProvider.substr(0, 100), examples::ReplyWithProvider.substr(100)});
  EXPECT_EQ("", signIn(consumer));
  EXPECT_EQ(3u, receives);
  EXPECT_TRUE(connection.IsSignedIn());
  ASSERT_NE(nullptr, connection.getResponseData());
  EXPECT_EQ(examples::ReplyWithProvider, connection.getResponseData()->toString());
  EXPECT_EQ(
      "vok_support/src/socketConnection/SocketConnection::SignIn() Already signed in to VOK. You "
      "cannot sign in twice.",
      signIn(consumer));
}

struct SignInCase {
  const char* what;
  bool asConsumer;
  std::vector<std::string> pieces;
  size_t receives;
  std::string thrown, logged;
  bool signedIn;
  int providers;  // in the reply kept; -1 for none kept
};

TEST_F(SocketConnectionTest, SignInEndsAsEachReplySequenceDecides) {
  const std::string invalid = "ERR: (" + WaitLocation + "): invalid response data\n";
  const SignInCase cases[] = {
      {"a result other than connected", true, {replyNaming({"p"}, "connected ")}, 1, "", "", false, 1},
      {"too many providers: dropped, a fresh pass follows", true,
       {replyNaming({"p", "q"}), "", replyNaming({"p"})}, 3, "",
       invalid, true, 1},
      {"no requests: the whole series, then the empty reply", false, {examples::ReplyWithoutProvider},
       Attempts, "", "", true, 0},
      {"requests and no fitting reply", true, {examples::ReplyWithoutProvider}, Attempts,
       TimeSlotText, invalid, false, -1},
      {"a late environment reply in front is skipped", true,
       {examples::EnvironmentReply, examples::EnvironmentReply + examples::ReplyWithProvider}, 2, "",
       "", true, 1},
  };
  for (const SignInCase& c : cases) {
    SCOPED_TRACE(c.what);
    SocketConnection fresh{handler};
    receive(c.pieces);
    EXPECT_EQ(c.thrown, signIn(c.asConsumer ? consumer : provider, &fresh));
    EXPECT_EQ(c.logged, logged);
    EXPECT_EQ(c.receives, receives);
    EXPECT_EQ(c.signedIn, fresh.IsSignedIn());
    const VOK::ResponseData* reply = fresh.getResponseData();
    EXPECT_EQ(c.providers, reply ? static_cast<int>(reply->getDataProviderInfo().size()) : -1);
  }
}

TEST_F(SocketConnectionTest, AReplyStillIncompleteAtTheEndPassesTheReaderExceptionThrough) {
  receive({"{\"DataProviderAvailable\":"});
  EXPECT_THROW(connection.SignIn(consumer), std::invalid_argument);
}

TEST_F(SocketConnectionTest, ARequestThatWouldBlockThrowsWithoutWaiting) {
  EXPECT_CALL(*handler, sendString(_, Fd)).Times(2).WillRepeatedly(Return(11));
  EXPECT_CALL(*handler, recvString(_, _)).Times(0);
  EXPECT_EQ(
      "vok_support/src/socketConnection/SocketConnection::SignIn() Error while sending SignIn "
      "string. To long for the underlying buffer",
      signIn(consumer));
  EXPECT_THAT([&] { connection.RequestVokEnvironmentConfig(0); },
              testing::ThrowsMessage<VOK::VOKException>(HasSubstr(
                  "RequestVokEnvironmentConfig() Error while sending SignOut string. To long for "
                  "the underlying buffer")));
}

TEST_F(SocketConnectionTest, EnvironmentReplySplitAtAnyByteIsReadWhole) {
  const std::string reply = examples::EnvironmentReply;
  for (size_t split = 1; split < reply.size(); ++split) {
    SCOPED_TRACE(split);
    SocketConnection fresh{handler};
    EXPECT_CALL(*handler, uxclientConnectToServer(2)).WillOnce(Return(Fd));
    EXPECT_CALL(*handler,
                sendString(VOK::VokEnvironmentConfig::GetRequestVokEnvironmentConfig(), Fd))
        .WillOnce(Return(0));
    receive({reply.substr(0, split), reply.substr(split)});
    auto config = fresh.RequestVokEnvironmentConfig(2);
    ASSERT_TRUE(config);
    EXPECT_EQ(2u, receives);
    EXPECT_EQ("0.1", config->getVersion());
    EXPECT_EQ(100u, config->getSegmentLifeTime());
  }
}

TEST_F(SocketConnectionTest, ShortEnvironmentRepliesGiveTheDefaultConfiguration) {
  receive({"{\"Version\":", "\"0.1\"}"});
  testing::internal::CaptureStdout();
  auto config = connection.RequestVokEnvironmentConfig(0);
  EXPECT_EQ(
      "ERR: (vok_support/src/socketConnection/SocketConnection::RequestVokEnvironmentConfig()): "
      "Using default VOK environment config. The VOK_APP did not provide anything valid in the "
      "time slot of 10 second(s)\n",
      testing::internal::GetCapturedStdout());
  EXPECT_EQ(static_cast<size_t>(Attempts), receives);
  ASSERT_TRUE(config);
  EXPECT_EQ("0.1", config->getVersion());
  EXPECT_EQ(10u, config->getSegmentLifeTime());
}

}  // namespace
