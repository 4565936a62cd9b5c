#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "DynamicLoaderLinux.h"
#include "configurationData.h"
#include "testMode.h"
#include "testModeLoader.h"

using namespace broker;

namespace {

using ::testing::_;
using ::testing::Return;
using ::testing::StrEq;

class MockLoader : public IDynamicLoader {
 public:
  MOCK_METHOD(void*, _dlopen, (const char*, int), (override));
  MOCK_METHOD(void*, _dlsym, (void*, const char*), (override));
  MOCK_METHOD(const char*, _dlerror, (), (override));
  MOCK_METHOD(int, _dlclose, (void*), (override));
};

// What the stand-in entry points were called with.
int connect1Argument = -1;
int connectCalls = 0;
int receiveCalls = 0;
void* receiveCallback = reinterpret_cast<void*>(1);
int receiveLength = 0;

int fakeConnect1(int pid) {
  connect1Argument = pid;
  return 0;
}
int fakeConnect() {
  ++connectCalls;
  return 0;
}
int fakeReceive(void* callback, char* buffer, int length) {
  ++receiveCalls;
  receiveCallback = callback;
  receiveLength = length;
  buffer[0] = 1;  // the buffer must be writable
  return 0;
}

void* address(int (*function)(int)) { return reinterpret_cast<void*>(function); }
void* address(int (*function)()) { return reinterpret_cast<void*>(function); }
void* address(int (*function)(void*, char*, int)) { return reinterpret_cast<void*>(function); }

int providerHandle;
int consumerHandle;

class TestModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testModeUseLoader(loader);
    ON_CALL(*loader, _dlerror()).WillByDefault(Return(nullptr));
    connectCalls = receiveCalls = 0;
  }
  void TearDown() override {
    closeTestProvider();
    closeTestConsumer();
    testModeUseLoader(std::make_shared<DynamicLoaderLinux>());
  }
  void loadProvider() {
    EXPECT_CALL(*loader, _dlopen(StrEq(".//libFrameFeed.so"), RTLD_NOW | RTLD_NODELETE))
        .WillOnce(Return(&providerHandle));
    EXPECT_CALL(*loader, _dlsym(&providerHandle, StrEq("VOK_connect1"))).WillOnce(Return(address(fakeConnect1)));
    launchTestProvider(4242);
  }
  void loadConsumer() {
    EXPECT_CALL(*loader, _dlopen(StrEq(".//libframe_relay.so"), RTLD_NOW | RTLD_NODELETE))
        .WillOnce(Return(&consumerHandle));
    EXPECT_CALL(*loader, _dlsym(&consumerHandle, StrEq("VOK_connect"))).WillOnce(Return(address(fakeConnect)));
    launchTestConsumer();
  }
  std::shared_ptr<testing::NiceMock<MockLoader>> loader =
      std::make_shared<testing::NiceMock<MockLoader>>();
};

ConfigurationData appNamed(const std::string& name) {
  return ConfigurationData("ConnectToVOKConfig", "0.1",
                           ApplicationData(name, 1, "d", "1", "m", {}, {}), 5);
}

TEST_F(TestModeTest, ProviderIsStartedWithBrokerPidAndAReceiveWithoutConsumerTouchesNoLoader) {
  loadProvider();
  EXPECT_EQ(connect1Argument, 4242);
  EXPECT_CALL(*loader, _dlsym(_, _)).Times(0);
  receiveTestConsumer();
  EXPECT_EQ(receiveCalls, 0);
  EXPECT_CALL(*loader, _dlclose(&providerHandle)).WillOnce(Return(0));
  closeTestProvider();
  closeTestProvider();  // a second close has nothing left to close
}

TEST_F(TestModeTest, ConsumerIsConnectedThenReceivesIntoFullSizeBufferWithDefaultCallback) {
  loadConsumer();
  EXPECT_EQ(connectCalls, 1);
  EXPECT_CALL(*loader, _dlsym(&consumerHandle, StrEq("VOK_receive"))).WillOnce(Return(address(fakeReceive)));
  receiveTestConsumer();
  EXPECT_EQ(receiveCalls, 1);
  EXPECT_EQ(receiveCallback, nullptr);
  EXPECT_EQ(receiveLength, 81920);
}

TEST_F(TestModeTest, HookSkipsAppsWhoseNameBeginsWithRelayNameOnly) {
  static int hookCalls;
  const std::pair<const char*, int> rows[] = {{"ZentorMotion(ZM)", 0},
                                              {"ZentorMotion(ZM)C", 0},
                                              {"Remote_open_control_kit_enabled_target_(Zentor)", 1},
                                              {"xZentorMotion(ZM)", 1},
                                              {"ZentorMotion", 1}};
  for (const auto& [name, calls] : rows) {
    hookCalls = 0;
    testReceiveHook(appNamed(name), [] { ++hookCalls; });
    EXPECT_EQ(hookCalls, calls) << name;
  }
}

using TestModeDeathTest = TestModeTest;

TEST_F(TestModeDeathTest, MissingSymbolPrintsLoaderMessageAndExitsWithOne) {
  EXPECT_EXIT(
      {
        EXPECT_CALL(*loader, _dlopen(_, _)).WillOnce(Return(&providerHandle));
        EXPECT_CALL(*loader, _dlsym(_, _)).WillOnce(Return(nullptr));
        EXPECT_CALL(*loader, _dlerror()).WillOnce(Return(nullptr))
            .WillOnce(Return(".//libFrameFeed.so: undefined symbol: VOK_connect1"));
        launchTestProvider(1);
      },
      testing::ExitedWithCode(1), "^\\.//libFrameFeed\\.so: undefined symbol: VOK_connect1\n$");
}

TEST(TestModeLinuxDeathTest, MissingLibraryInWorkingDirectoryExitsWithLoaderMessage) {
  char folder[] = "/tmp/vok_testmode_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::pair<void (*)(), const char*> rows[] = {
      {[] { launchTestProvider(1); }, "^\\.//libFrameFeed\\.so: cannot open shared object file"},
      {launchTestConsumer, "^\\.//libframe_relay\\.so: cannot open shared object file"}};
  for (const auto& [launch, message] : rows) {
    EXPECT_EXIT(
        {
          if (chdir(folder) == 0) {
            launch();
          }
        },
        testing::ExitedWithCode(1), message);
  }
  rmdir(folder);
}

}  // namespace
