#include "LogConfigData.h"

#include "configurationData.h"

#include <gtest/gtest.h>

using namespace broker;

namespace {

std::string dumped(ConfigurationData record) {
  ::testing::internal::CaptureStdout();
  LogConfigData(record);
  return ::testing::internal::GetCapturedStdout();
}

const std::string kLine = "Log: (VOK_App/src/main): ";

TEST(LogConfigData, BareAppGivesNineLinesWithEmptyLabels) {
  ConfigurationData record("ConnectToVOKConfig", "0.1", ApplicationData("Bare", -3, "", "", "", {}, {}), 9);
  EXPECT_EQ(kLine + "0.1\n" + kLine + "ConnectToVOKConfig\n" + kLine + "AppData-App-Name: Bare\n" + kLine +
                "AppData-Pid: -3\n" + kLine + "AppData-Description: \n" + kLine + "AppData-Version: \n" + kLine +
                "AppData-Manufacturer: \n" + kLine + "socketfd: <9>\n" + kLine + "No. of Request Objects:0\n",
            dumped(record));
}

// A name from a sign-in cannot forge a line of the broker's own.
TEST(LogConfigData, ALineFeedInTheAppNameStaysInItsOneEscapedLine) {
  ConfigurationData record("ConnectToVOKConfig", "0.1",
                           ApplicationData("Bare\nLog: (VOK_App/src/main): Caught Stop-signal", 1,
                                           "", "", "", {}, {}),
                           9);
  const std::string text = dumped(record);
  EXPECT_NE(std::string::npos,
            text.find("\n" + kLine +
                      "AppData-App-Name: Bare\\nLog: (VOK_App/src/main): Caught Stop-signal\n"));
  EXPECT_EQ(std::string::npos, text.find("\nLog: (VOK_App/src/main): Caught"));
}

TEST(LogConfigData, ProvidesAndRequestsWithTheirSymbolsInOrder) {
  std::list<Symbol> two{Symbol("first", "int8_t", 15, 4), Symbol("second", "uint64_t", 18446744073709551615ull, 19)};
  Provides provide("feed", "V0.1", two, "FeedShm", -10);
  Requests request("wish", "0.2", {Symbol("x", "char", 1, 0)}, "Other");
  ConfigurationData record("T", "V", ApplicationData("App", 1, "d", "v", "m", {provide}, {request}), 4);
  const std::string expected =
      kLine + "provide-description: feed\n" + kLine + "provide-version: V0.1\n" + kLine + "provide-signal: -10\n" +
      kLine + "provide-name: FeedShm\n" + kLine + "symbol-name: first\n" + kLine + "symbol-size: 15\n" + kLine +
      "symbol-offset: 4\n" + kLine + "symbol-type: int8_t\n" + kLine + "symbol-name: second\n" + kLine +
      "symbol-size: 18446744073709551615\n" + kLine + "symbol-offset: 19\n" + kLine + "symbol-type: uint64_t\n" +
      kLine + "No. of Request Objects:1\n" + kLine + "request-description: wish\n" + kLine +
      "request-version: 0.2\n" + kLine + "symbol-name: x\n" + kLine + "symbol-size: 1\n" + kLine +
      "symbol-offset: 0\n" + kLine + "symbol-type: char\n";
  const std::string text = dumped(record);
  ASSERT_GE(text.size(), expected.size());
  EXPECT_EQ(expected, text.substr(text.size() - expected.size()));
  EXPECT_NE(std::string::npos, text.find(kLine + "socketfd: <4>\n" + kLine + "provide-description: feed\n"));
}

}  // namespace
