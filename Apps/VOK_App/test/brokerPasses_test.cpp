#include "brokerPasses.h"

#include "VokEnvironmentConfig.h"
#include "brokerState.h"
#include "configurationDataFactory.h"
#include "mockSocketFunctions.h"
#include "mockSocketHandler.h"
#include "signInTexts.h"

#include <gtest/gtest.h>

#include <cerrno>

using ::testing::_;
using ::testing::HasSubstr;
using ::testing::Invoke;
using ::testing::NiceMock;
using ::testing::Return;

using namespace broker;

namespace {

class Passes : public ::testing::Test {
 protected:
  Passes() {
    stopProcess = false;
    passFailed = false;
    ON_CALL(server, recvString(_, _)).WillByDefault(Return(EAGAIN));
  }
  ~Passes() override {
    cleanAppList(&apps, &functions);
    stopProcess = false;
  }
  void signIn(std::list<int> accepted) {
    ::testing::internal::CaptureStdout();
    intercept(&accepted, &apps, &server, 10, &functions);
    logged = ::testing::internal::GetCapturedStdout();
  }
  void reply() {
    ::testing::internal::CaptureStdout();
    interlock(&apps, &server);
    logged = ::testing::internal::GetCapturedStdout();
  }
  void addApp(const std::string& text, int fd) {
    apps.push_back(ConfigurationDataFactory::CreateConfigurationFromString(text, fd));
  }
  NiceMock<MockSocketHandler> server;
  NiceMock<MockSocketFunctions> functions;
  AppList apps;
  std::string logged;
};

TEST_F(Passes, DescriptorWithoutSignInIsClosedAndTheNextAppStillServed) {
  EXPECT_CALL(server, recvString(5, _)).WillRepeatedly(Return(EBADF));
  EXPECT_CALL(server, recvString(6, _)).WillOnce(Invoke(deliver(signin::provider(733))));
  EXPECT_CALL(functions, _close(5)).Times(1);
  EXPECT_CALL(functions, _close(6)).Times(1);  // at clean-up only
  signIn({5, 6});
  ASSERT_EQ(1u, apps.size());
  EXPECT_EQ(6, apps.front()->getSocketfd());
  EXPECT_FALSE(stopProcess);
  EXPECT_THAT(logged, HasSubstr("ERR: (VOK_App/src/main:intercept()): missing ConfigurationData for <5>\n"));
  EXPECT_THAT(logged, HasSubstr("Log: (VOK_App/src/main:intercept()): The following application is now connected to "
                                "VOK_App socketfd: <6>\n"));
  EXPECT_THAT(logged, HasSubstr("Log: (VOK_App/src/main): AppData-Pid: 733\n"));
  EXPECT_THAT(logged,
              HasSubstr("Log: (VOK_App/src/main:intercept()): Print AppDataList information, No of AppData Objects:1\n"));
}

TEST_F(Passes, MissingMandatoryAttributeLogsItsTypeNameAndStops) {
  EXPECT_CALL(server, recvString(5, _))
      .WillOnce(Invoke(deliver("{\"Type\":\"ConnectToVOKConfig\",\"A\":{\"Type\":\"ApplicationData\",\"PID\":1}}")));
  EXPECT_CALL(server, recvString(6, _)).Times(0);
  signIn({5, 6});
  EXPECT_TRUE(stopProcess);
  EXPECT_TRUE(passFailed);
  EXPECT_TRUE(apps.empty());
  EXPECT_THAT(logged, HasSubstr("ERR: (VOK_App/src/main:intercept()): "
                                "N24ConfigurationDataFactory25AttributeMissingExceptionE\n"));
}

TEST_F(Passes, WrongValueTypeInSignInStopsTheBroker) {
  EXPECT_CALL(server, recvString(5, _))
      .WillOnce(Invoke(deliver("{\"A\":{\"Type\":\"ApplicationData\"},\"Type\":\"ConnectToVOKConfig\",\"Version\":\"0.1\"}")));
  signIn({5});
  EXPECT_TRUE(stopProcess);
  EXPECT_THAT(logged, HasSubstr("ERR: (VOK_App/src/main:intercept()): Could not find argument PID in json file - "
                                "contains failed\n"));
}

TEST_F(Passes, StopSignalDuringAWaitEndsThePass) {
  EXPECT_CALL(server, recvString(5, _)).WillOnce(Invoke([](int, std::string&) {
    stopProcess = true;
    return EAGAIN;
  }));
  signIn({5, 6});
  EXPECT_FALSE(passFailed) << "a stop signal is an orderly stop";
  EXPECT_THAT(logged, HasSubstr("ERR: (VOK_App/src/main:intercept()): StopProcess set<5>\n"));
}

TEST_F(Passes, OnlyAppsWithProvidersAreAnswered) {
  addApp(signin::consumer(812), 5);
  addApp(signin::provider(733), 6);
  EXPECT_CALL(server, sendString(HasSubstr("\"PID\":733"), 5)).WillOnce(Return(0));
  EXPECT_CALL(server, sendString(_, 6)).Times(0);
  reply();
  EXPECT_FALSE(stopProcess);
  const std::string name = "Remote_open_control_kit_enabled_target_(Zentor)";
  EXPECT_THAT(logged, HasSubstr("Log: (VOK_App/src/main::interlock()): 1 provider for <5> " + name + "\n"));
  EXPECT_THAT(logged, HasSubstr("Log: (VOK_App/src/main::interlock()): 0 provider for <6> " + name + "\n"));
}

TEST_F(Passes, DuplicateProviderIsLoggedTwiceAndStopsBeforeAnyReply) {
  addApp(signin::consumer(812), 5);
  addApp(signin::provider(733), 6);
  addApp(signin::provider(734), 7);
  EXPECT_CALL(server, sendString(_, _)).Times(0);
  reply();
  EXPECT_TRUE(stopProcess);
  EXPECT_THAT(logged, HasSubstr("ERR: (Apps/VOK_App/src/matchMaker): Provide is duplicated\n"
                                "ERR: (VOK_App/src/main::interlock()): Provide is duplicated\n"));
}

TEST_F(Passes, ReplyTheSocketDoesNotTakeStopsTheBroker) {
  addApp(signin::consumer(812), 5);
  addApp(signin::provider(733), 6);
  EXPECT_CALL(server, sendString(_, 5)).WillOnce(Return(11));
  reply();
  EXPECT_TRUE(stopProcess);
  EXPECT_THAT(logged, HasSubstr("ERR: (VOK_App/src/main::interlock()): VOK_App/src/main::interlock(), Error while "
                                "sending response string. To long for the underlying buffer\n"));
}

TEST_F(Passes, CleanUpClosesEveryDescriptorAndEmptiesTheList) {
  addApp(signin::consumer(812), 5);
  addApp(signin::provider(733), 6);
  EXPECT_CALL(functions, _close(5)).Times(1);
  EXPECT_CALL(functions, _close(6)).Times(1);
  cleanAppList(&apps, &functions);
  EXPECT_TRUE(apps.empty());
  cleanAppList(&apps, &functions);
  cleanAppList(nullptr, &functions);
}

}  // namespace
