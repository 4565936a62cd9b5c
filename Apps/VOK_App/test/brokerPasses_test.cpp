#include "brokerPasses.h"

#include "VokEnvironmentConfig.h"
#include "brokerState.h"
#include "configurationDataFactory.h"
#include "mockSocketFunctions.h"
#include "mockSocketHandler.h"
#include "openDoor.h"
#include "signInTexts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <vector>

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

// The first pass stops at a sign-in that does not fit the model, before the next app.
TEST_F(Passes, SignInThatDoesNotFitTheModelStopsTheBrokerWithItsReason) {
  const std::pair<std::string, std::string> rows[] = {
      {"{\"Type\":\"ConnectToVOKConfig\",\"A\":{\"Type\":\"ApplicationData\",\"PID\":1}}",
       "N24ConfigurationDataFactory25AttributeMissingExceptionE\n"},
      {"{\"A\":{\"Type\":\"ApplicationData\"},\"Type\":\"ConnectToVOKConfig\",\"Version\":\"0.1\"}",
       "Could not find argument PID in json file - contains failed\n"}};
  for (const auto& [text, reason] : rows) {
    stopProcess = passFailed = false;
    EXPECT_CALL(server, recvString(5, _)).WillOnce(Invoke(deliver(text)));
    EXPECT_CALL(server, recvString(6, _)).Times(0);
    signIn({5, 6});
    EXPECT_TRUE(stopProcess);
    EXPECT_TRUE(passFailed);
    EXPECT_TRUE(apps.empty());
    EXPECT_THAT(logged, HasSubstr("ERR: (VOK_App/src/main:intercept()): " + reason));
  }
}

TEST_F(Passes, ReplyTheSocketDoesNotTakeStopsTheBroker) {
  addApp(signin::consumer(812), 5);
  addApp(signin::provider(733), 6);
  EXPECT_CALL(server, sendString(_, 5)).WillOnce(Return(11));
  ::testing::internal::CaptureStdout();
  interlock(&apps, &server);
  EXPECT_TRUE(stopProcess);
  EXPECT_THAT(::testing::internal::GetCapturedStdout(),
              HasSubstr("ERR: (VOK_App/src/main::interlock()): VOK_App/src/main::interlock(), Error while sending "
                        "response string. To long for the underlying buffer\n"));
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

// The open broker after its first pass: what happens to late sign-ins,
// departures and apps that sign in again.
namespace open {

const std::string kLeave;  // a step without a sign-in: the app on that descriptor leaves

struct Step {
  int fd;
  std::string signIn;
};

struct LateRow {
  const char* name;
  std::vector<Step> firstPass;  // signed in before the broker opened (no reply checked)
  std::vector<Step> late;
  std::vector<int> replied;     // descriptors answered after opening, in order
  std::vector<int> remaining;   // signed-in apps at the end, in sign-in order
  std::vector<int> closed;      // descriptors the broker closed after opening
  std::string logged;
};

const std::vector<LateRow> kLateRows = {
    {"consumer waiting for its provider is answered when it signs in",
     {{5, signin::consumer(812)}}, {{6, signin::provider(733)}}, {5}, {5, 6}, {},
     "Log: (VOK_App/src/main::interlock()): 1 provider for <5> "},
    {"late consumer is answered at once", {{6, signin::provider(733)}}, {{8, signin::consumer(812)}}, {8}, {6, 8}, {},
     "The following application is now connected to VOK_App socketfd: <8>"},
    {"restarted provider takes the place of the one that left; its answered consumer is not asked again",
     {{5, signin::consumer(812)}, {6, signin::provider(733)}}, {{6, kLeave}, {7, signin::provider(734)}}, {}, {5, 7},
     {6}, "Log: (VOK_App/src/main): App <6> Remote_open_control_kit_enabled_target_(Zentor) left; its provides are "
          "forgotten\n"},
    {"consumer that left and signs in again is answered again",
     {{5, signin::consumer(812)}, {6, signin::provider(733)}}, {{5, kLeave}, {9, signin::consumer(813)}}, {9}, {6, 9},
     {5}, "1 provider for <9> "},
    {"second provider of a signed-in name is refused", {{6, signin::provider(733)}}, {{7, signin::provider(734)}},
     {}, {6}, {7}, "ERR: (VOK_App/src/main): Refused the sign-in <7> Remote_open_control_kit_enabled_target_(Zentor): "
                   "a provider of that name is signed in\n"},
    {"sign-in that does not fit the model is dropped alone", {{6, signin::provider(733)}},
     {{7, "{\"A\":{\"Type\":\"ApplicationData\"},\"Type\":\"ConnectToVOKConfig\",\"Version\":\"0.1\"}"}}, {}, {6}, {7},
     "ERR: (VOK_App/src/main:intercept()): Could not find argument PID"},
};

TEST_F(Passes, OpenBrokerTable) {
  for (const LateRow& row : kLateRows) {
    SCOPED_TRACE(row.name);
    ::testing::Mock::VerifyAndClearExpectations(&server);
    ::testing::Mock::VerifyAndClearExpectations(&functions);
    apps.clear();
    for (const Step& step : row.firstPass) {
      addApp(step.signIn, step.fd);
    }
    std::set<int> gone;
    std::vector<int> replied;
    std::vector<int> closed;
    ON_CALL(functions, _recv(_, _, _, _)).WillByDefault(Invoke([&](int fd, char*, unsigned, int) {
      errno = gone.count(fd) != 0 ? 0 : EAGAIN;
      return 0;
    }));
    ON_CALL(functions, _close(_)).WillByDefault(Invoke([&](int fd) {
      closed.push_back(fd);
      return 0;
    }));
    ON_CALL(server, sendString(_, _)).WillByDefault(Invoke([&](std::string, int fd) {
      replied.push_back(fd);
      return 0;
    }));
    ::testing::internal::CaptureStdout();
    OpenDoor door(apps, server, std::shared_ptr<ISocketHandlerFunctions>(&functions, [](auto*) {}), 10);
    for (const Step& step : row.late) {
      if (step.signIn.empty()) {
        gone.insert(step.fd);
        door.sweepDepartures();
      } else {
        ON_CALL(server, recvString(step.fd, _)).WillByDefault(Invoke(deliver(step.signIn)));
        door.signInLate(step.fd);
      }
    }
    logged = ::testing::internal::GetCapturedStdout();
    std::vector<int> remaining;
    for (const auto& app : apps) {
      remaining.push_back(app->getSocketfd());
    }
    EXPECT_EQ(row.replied, replied);
    EXPECT_EQ(row.remaining, remaining);
    EXPECT_EQ(row.closed, closed);
    EXPECT_FALSE(stopProcess);
    EXPECT_THAT(logged, HasSubstr(row.logged));
  }
  apps.clear();
}

}  // namespace open

}  // namespace
