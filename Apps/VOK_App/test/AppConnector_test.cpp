#include "AppConnector.h"

#include "VOKException.h"
#include "VokEnvironmentConfig.h"
#include "configurationDataFactory.h"
#include "mockSocketHandler.h"
#include "signInTexts.h"
#include "thrownText.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

using ::testing::_;
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

// Text that can never become a document goes to the reader at once, as does
// a closed descriptor (without an error line); an object that never ends and
// silence after the request are waited for until the slot of 100 polls is over.
TEST_F(WaitForSignIn, NoSignInGivesNull) {
  const std::string arrived = "Log: (VOK_App/src/AppConnector::waitForNewAppToConnect): Connection to server established\n";
  const std::string didNotConnect = arrived + "ERR: (VOK_App/src/AppConnector::waitForNewAppToConnect): <7> did not "
                                              "connect, are you using ARM platform? Reducing the shared memory size may help.\n";
  const struct {
    std::string first;  // "" for a closed descriptor
    int polls;
    bool answered;
    std::string logged;
  } rows[] = {{request, 100, true, didNotConnect},
              {"", 1, false, arrived},
              {"\"Type\":\"ConnectToVOKConfig\"}", 1, false, arrived},
              {"{\"Type\":\"ConnectToVOKConfig\"", 100, false, didNotConnect}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first);
    ::testing::Mock::VerifyAndClearExpectations(&server);
    auto& polls = EXPECT_CALL(server, recvString(kFd, _)).Times(row.polls);
    if (row.first.empty()) {
      polls.WillOnce(Return(EBADF));
    } else {
      polls.WillOnce(Invoke(deliver(row.first)));
    }
    if (row.polls > 1) {
      polls.WillRepeatedly(Return(EAGAIN));
    }
    EXPECT_CALL(server, sendString(kEnvironmentReply, kFd)).Times(row.answered ? 1 : 0);
    EXPECT_EQ(nullptr, wait());
    EXPECT_EQ(row.logged, logged);
  }
}

TEST_F(WaitForSignIn, StopFlagEndsTheWaitWithAnException) {
  EXPECT_CALL(server, recvString(kFd, _)).WillOnce(Invoke([&](int, std::string&) {
    stop = true;
    return EAGAIN;
  }));
  EXPECT_EQ("StopProcess set<7>", thrownText<VOK::VOKException>([&] { wait(); }));
  ::testing::internal::GetCapturedStdout();
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
