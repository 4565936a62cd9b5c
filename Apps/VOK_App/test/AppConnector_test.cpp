#include "AppConnector.h"

#include "VOKException.h"
#include "VokEnvironmentConfig.h"
#include "configurationDataFactory.h"
#include "mockSocketHandler.h"
#include "signInTexts.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

using ::testing::_;
using ::testing::HasSubstr;
using ::testing::Invoke;
using ::testing::NiceMock;
using ::testing::Return;
using VOK::AppConnector;

namespace {

constexpr int kFd = 7;
const std::string kEnvironmentReply =
    "{\"ConfigData\":{\"SegmentLifetime\":10},\"Type\":\"ConfigDataResponse\",\"Version\":\"0.1\"}";

class WaitForSignIn : public ::testing::Test {
 protected:
  WaitForSignIn() {
    ON_CALL(server, recvString(_, _)).WillByDefault(Return(EAGAIN));
  }
  std::unique_ptr<ConfigurationData> wait() {
    ::testing::internal::CaptureStdout();
    std::unique_ptr<ConfigurationData> record(AppConnector::waitForNewAppToConnect(&server, kFd, 10, stop));
    logged = ::testing::internal::GetCapturedStdout();
    return record;
  }
  NiceMock<MockSocketHandler> server;
  std::atomic<bool> stop{false};
  std::string logged;
  const std::string request = VOK::VokEnvironmentConfig::GetRequestVokEnvironmentConfig();
};

TEST(EnvironmentReply, IsTheCompactSortedDocumentWithTheLifetime) {
  EXPECT_EQ(kEnvironmentReply, AppConnector::getConfigDataResponse(10));
  EXPECT_EQ("{\"ConfigData\":{\"SegmentLifetime\":18446744073709551615},\"Type\":\"ConfigDataResponse\","
            "\"Version\":\"0.1\"}",
            AppConnector::getConfigDataResponse(18446744073709551615ull));
}

// Pieces as they arrive, "" for a poll with nothing: the environment request
// is answered wherever it comes, a sign-in in pieces is joined, and one on
// the last of the hundred polls still counts.
TEST_F(WaitForSignIn, SignInIsAcceptedHoweverItArrives) {
  const std::string text = signin::provider(733);
  std::vector<std::string> lastPoll(99, "");
  lastPoll.push_back(text);
  const struct {
    const char* name;
    std::vector<std::string> pieces;
    int pid;
    bool answered;
  } rows[] = {
      {"request, then the sign-in", {request, "", text}, 733, true},
      {"request and sign-in in one piece", {request + signin::consumer(812)}, 812, true},
      {"sign-in in three pieces", {text.substr(0, 10), text.substr(10, text.size() - 30), text.substr(text.size() - 20)},
       733, false},
      {"sign-in on the last poll", lastPoll, 733, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ::testing::Mock::VerifyAndClearExpectations(&server);
    auto& polls = EXPECT_CALL(server, recvString(kFd, _)).Times(static_cast<int>(row.pieces.size()));
    for (const std::string& piece : row.pieces) {
      if (piece.empty()) {
        polls.WillOnce(Return(EAGAIN));
      } else {
        polls.WillOnce(Invoke(deliver(piece)));
      }
    }
    EXPECT_CALL(server, sendString(kEnvironmentReply, kFd)).Times(row.answered ? 1 : 0);
    auto record = wait();
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(kFd, record->getSocketfd());
    EXPECT_EQ(row.pid, record->getAppData().getPid());
    EXPECT_EQ("Log: (VOK_App/src/AppConnector::waitForNewAppToConnect): Connection to server established\n", logged);
  }
}

TEST_F(WaitForSignIn, PieceOfOnlyTheRequestIsAnsweredAndSilenceEndsInDidNotConnect) {
  EXPECT_CALL(server, recvString(kFd, _)).WillOnce(Invoke(deliver(request))).WillRepeatedly(Return(EAGAIN));
  EXPECT_CALL(server, sendString(kEnvironmentReply, kFd)).WillOnce(Return(0));
  EXPECT_EQ(nullptr, wait());
  EXPECT_THAT(logged, HasSubstr("ERR: (VOK_App/src/AppConnector::waitForNewAppToConnect): <7> did not connect, are "
                                "you using ARM platform? Reducing the shared memory size may help.\n"));
}

TEST_F(WaitForSignIn, ClosedDescriptorGivesNullAtOnceWithoutErrorLine) {
  EXPECT_CALL(server, recvString(kFd, _)).WillOnce(Return(EBADF));
  EXPECT_EQ(nullptr, wait());
  EXPECT_EQ(std::string::npos, logged.find("ERR:"));
}

TEST_F(WaitForSignIn, StopFlagEndsTheWaitWithAnException) {
  EXPECT_CALL(server, recvString(kFd, _)).WillOnce(Invoke([&](int, std::string&) {
    stop = true;
    return EAGAIN;
  }));
  try {
    wait();
    FAIL();
  } catch (const VOK::VOKException& e) {
    EXPECT_STREQ("StopProcess set<7>", e.what());
  }
  ::testing::internal::GetCapturedStdout();
}

// Text that can never become a document goes to the reader at once; an
// object that never ends is waited for until the slot is over.
TEST_F(WaitForSignIn, TextThatDoesNotParseGivesNull) {
  for (const bool truncated : {false, true}) {
    const std::string text = truncated ? "{\"Type\":\"ConnectToVOKConfig\"" : "\"Type\":\"ConnectToVOKConfig\"}";
    EXPECT_CALL(server, recvString(kFd, _)) .Times(truncated ? 100 : 1) .WillOnce(Invoke(deliver(text)))
        .WillRepeatedly(Return(EAGAIN));
    EXPECT_EQ(nullptr, wait());
    EXPECT_EQ(truncated, logged.find("did not connect") != std::string::npos) << text;
  }
}

TEST(ConnectReply, NamesTheProvidersWithTheBrokersPid) {
  std::unique_ptr<ConfigurationData> consumer(
      ConfigurationDataFactory::CreateConfigurationFromString(signin::consumer(812), 5));
  std::unique_ptr<ConfigurationData> provider(
      ConfigurationDataFactory::CreateConfigurationFromString(signin::provider(733), 6));
  ::testing::internal::CaptureStdout();
  const std::string reply =
      AppConnector::CreateResponseDataString(*consumer, {VOK::DataProviderInfo(provider->getAppData())});
  EXPECT_EQ("Log: (VOK_APP): 0.1\n", ::testing::internal::GetCapturedStdout());
  EXPECT_EQ("{\"DataProviderAvailable\":{\"Remote_open_control_kit_enabled_target_(Zentor)\":{\"Description\":\"\","
            "\"Manufacturer\":\"\",\"PID\":733,\"Provides\":{\"Remote_open_control_kit_enabled_target_(Zentor)Shm\":"
            "{\"Description\":\"Zentor for Bramix\",\"Signal\":10,\"Symbols\":{\"bramixData\":{\"Offset\":4,\"Size\":"
            "15,\"Type\":\"int8_t\"}},\"Type\":\"Provide\",\"Version\":\"V0.1\"}},\"Type\":\"ApplicationData\","
            "\"Version\":\"0.1\"}},\"Type\":\"ConnectToVOKResult\",\"VOKInformation\":{\"ErrorMessage\":\"OK\","
            "\"Result\":\"connected\",\"VOKPid\":" +
                std::to_string(::getpid()) + ",\"VOKVersion\":\"0.1\"},\"Version\":\"0.1\"}",
            reply);
}

}  // namespace
