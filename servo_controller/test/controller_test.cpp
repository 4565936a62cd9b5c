#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "channelText.h"
#include "controllerState.h"
#include "provideSelection.h"
#include "testDataPump.h"

using namespace servo_controller;

namespace {

// Channels outside 0..15 show as the range end the servo gets.
TEST(ChannelTextTest, FifteenLowNibblesInLowerCaseHex) {
  const struct {
    std::vector<int> channels;
    std::string text;
  } rows[] = {{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 13}, "0x0,0x1,0x2,0x3,0x4,0x5,0x6,0x7,0x8,0x9,0xa,0xb,0xc,0xd,0xd"},
              {{-1, 0x7B, 16, 0, 14, 15}, "0x0,0xf,0xf,0x0,0xe,0xf,0x0,0x0,0x0,0x0,0x0,0x0,0x0,0x0,0x0"}};
  for (const auto& row : rows) {
    UserDataStruct data;
    for (size_t i = 0; i < row.channels.size(); ++i) {
      data.bramixData[i] = static_cast<int8_t>(row.channels[i]);
    }
    EXPECT_EQ(channelText(data), row.text);
  }
}

Provides provide(const std::string& shmID) {
  return Provides("d", "v", {Symbol("bramixData", "int8_t", 15, 8)}, shmID, 10);
}

VOK::ResponseData reply(std::list<ApplicationData> apps) {
  std::list<VOK::DataProviderInfo> infos;
  for (auto& app : apps) {
    infos.emplace_back(app);
  }
  return VOK::ResponseData("ConnectToVOKResult", "0.1",
                           VOK::VokInformation(42, "0.1", "connected", ""), infos);
}

ApplicationData app(const std::string& name, std::list<Provides> provides) {
  return ApplicationData(name, 1, "", "0.1", "", provides, {});
}

TEST(ProvideSelectionTest, TheOneProvideOfTheOneProviderIsChosen) {
  auto r = reply({app("feed", {provide("feedShm")})});
  auto chosen = selectProvide(&r, "C::main()");
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->getShmID(), "feedShm");
}

TEST(ProvideSelectionTest, AnyOtherNumberOfProvidersOrProvidesIsRejected) {
  auto two = reply({app("a", {provide("aShm")}), app("b", {provide("bShm")})});
  auto none = reply({});
  auto twoProvides = reply({app("a", {provide("aShm"), provide("bShm")})});
  const std::pair<const VOK::ResponseData*, std::string> rows[] = {
      {&two, "providers"}, {&none, "providers"}, {nullptr, "providers"}, {&twoProvides, "provides"}};
  for (const auto& [r, counted] : rows) {
    testing::internal::CaptureStdout();
    EXPECT_FALSE(selectProvide(r, "X::main()"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERR: (X::main()): Unexpected number of " + counted + "\n");
  }
}

// Waits until pred holds or two seconds have passed.
template <typename Pred>
bool eventually(Pred pred) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!pred() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return pred();
}

TEST(DataPumpTest, EachPostHandsOutOnePatternAndTheLastOneStops) {
  initDataPumpSemaphore();
  initDataPumpSemaphore();  // a second call must not reset a running pump
  UserDataStruct target;
  target.bramixData[6] = 77;
  target.bramixData[13] = 5;
  stopProcess = false;
  std::thread pump(fillTestData, &target);

  sem_post(&semDataReceived);
  ASSERT_TRUE(eventually([&] { return target.bramixData[13] == 0; }));
  EXPECT_EQ(target.bramixData[1], 1);
  EXPECT_EQ(target.bramixData[2], 0);
  EXPECT_FALSE(stopProcess);

  for (int i = 1; i < 42; ++i) {
    sem_post(&semDataReceived);
  }
  pump.join();
  EXPECT_TRUE(stopProcess);
  // Last value 21 of the second pass; channel 6 is not the pump's.
  EXPECT_EQ(std::vector<int>(target.bramixData, target.bramixData + 7), (std::vector<int>{1, 1, 12, 1, 1, 12, 77}));
  stopProcess = false;
  destroyDataPumpSemaphore();
}

}  // namespace
