#include <gtest/gtest.h>

#include <memory>

#include "configurationDataFactoryJson.h"
#include "messageExamples.h"

namespace {

using ConfigurationDataFactory::json;
using examples::AppName;
using examples::errorLine;
using examples::missing;
using examples::Thrown;

std::unique_ptr<VOK::ResponseData> parse(const std::string& text) {
  return std::unique_ptr<VOK::ResponseData>(
      ConfigurationDataFactory::CreateResponseDataFromString(text));
}

void expectSameInfo(const VOK::VokInformation& expected, const VOK::VokInformation& actual) {
  EXPECT_EQ(expected.getPid(), actual.getPid());
  EXPECT_EQ(expected.getVersion(), actual.getVersion());
  EXPECT_EQ(expected.getResult(), actual.getResult());
  EXPECT_EQ(expected.getErrorMessage(), actual.getErrorMessage());
}

TEST(ReplyWriterTest, WritesBothExamplesByteForByte) {
  EXPECT_EQ(examples::ReplyWithProvider,
            examples::reply({VOK::DataProviderInfo(examples::providerApp())}).toString());
  EXPECT_EQ(examples::ReplyWithoutProvider, examples::reply({}).toString());
}

TEST(ReplyWriterTest, NeverWritesTheRequestsOfAProvider) {
  ApplicationData both = examples::providerApp();
  both.add(examples::consumerApp().getRequests().front());
  EXPECT_EQ(examples::ReplyWithProvider, examples::reply({VOK::DataProviderInfo(both)}).toString());
}

TEST(ReplyReaderTest, ReadsBothExamplesBackIntoTheirValues) {
  auto withProvider = parse(examples::ReplyWithProvider);
  EXPECT_EQ("ConnectToVOKResult", withProvider->getType());
  EXPECT_EQ("0.1", withProvider->getVersion());
  expectSameInfo(VOK::VokInformation(655, "0.1", "connected", "OK"), withProvider->getVokInfo());
  ASSERT_EQ(1u, withProvider->getDataProviderInfo().size());
  examples::expectSameApp(examples::providerApp(),
                          withProvider->getDataProviderInfo().front().getApplicationData());

  auto without = parse(examples::ReplyWithoutProvider);
  expectSameInfo(VOK::VokInformation(655, "0.1", "connected", "OK"), without->getVokInfo());
  EXPECT_TRUE(without->getDataProviderInfo().empty());
  EXPECT_EQ(examples::ReplyWithoutProvider, without->toString());
}

TEST(ReplyReaderTest, ProvidersComeBackSortedByNameWithAnyRequestsTheyCarry) {
  json doc = json::parse(examples::ReplyWithProvider);
  json& available = doc["DataProviderAvailable"];
  available["AAA"] = available[AppName];
  available["AAA"]["Requests"] = json::parse(examples::ConsumerSignIn)[AppName]["Requests"];
  auto response = parse(doc.dump());
  ASSERT_EQ(2u, response->getDataProviderInfo().size());
  const ApplicationData& first = response->getDataProviderInfo().front().getApplicationData();
  EXPECT_EQ("AAA", first.getApplicationName());
  ASSERT_EQ(1u, first.getRequests().size());
  EXPECT_EQ(AppName, first.getRequests().front().getAppName());
  EXPECT_EQ(AppName, response->getDataProviderInfo().back().getApplicationData().getApplicationName());
}

TEST(ReplyReaderTest, ProviderInfoComparesByApplicationNameAlone) {
  ApplicationData other = examples::providerApp();
  other.setPid(1);
  EXPECT_TRUE(VOK::DataProviderInfo(other) == VOK::DataProviderInfo(examples::providerApp()));
  other.setApplicationName("x");
  EXPECT_FALSE(VOK::DataProviderInfo(other) == VOK::DataProviderInfo(examples::providerApp()));
}

TEST(ReplyReaderTest, MissingOptionalInformationGivesEmptyTextsWithErrorLines) {
  testing::internal::CaptureStdout();
  auto response = parse(R"({"Type":"t","VOKInformation":{"VOKPid":-3},"Version":"v"})");
  const std::string out = testing::internal::GetCapturedStdout();
  expectSameInfo(VOK::VokInformation(-3, "", "", ""), response->getVokInfo());
  EXPECT_EQ(errorLine(missing("VOKVersion")) + errorLine(missing("Result")) + errorLine(missing("ErrorMessage")), out);
}

struct ReplyFailure {
  const char* what;
  std::string text;
  Thrown thrown;
  std::string message;
  bool logged;
};

std::string changed(void (*change)(json&)) {
  json doc = json::parse(examples::ReplyWithProvider);
  change(doc);
  return doc.dump();
}

const ReplyFailure Failures[] = {
    {"empty", "", Thrown::InvalidArgument,
     "CreateResponseDataFromString(): parameter vokResponse: string must not be empty.", false},
    {"not json", "{\"Type\":", Thrown::InvalidArgument,
     "CreateResponseDataFromString(): parse json file failed: {\"Type\":", false},
    {"no Type", changed([](json& d) { d.erase("Type"); }), Thrown::AttributeMissing,
     missing("Type"), true},
    {"no Version", changed([](json& d) { d.erase("Version"); }), Thrown::AttributeMissing,
     missing("Version"), true},
    {"no VOKInformation", changed([](json& d) { d.erase("VOKInformation"); }),
     Thrown::InvalidArgument, "CreateVokInformation(): no VOKInformation avaialbe in json object.",
     false},
    {"no VOKPid", changed([](json& d) { d["VOKInformation"].erase("VOKPid"); }),
     Thrown::InvalidArgument, missing("VOKPid"), true},
    {"empty DataProviderAvailable", changed([](json& d) { d["DataProviderAvailable"] = {}; }),
     Thrown::AttributeMissing, "Could not find Type, ApplicationData in json object.", true},
    {"provider without PID", changed([](json& d) { d["DataProviderAvailable"][AppName].erase("PID"); }),
     Thrown::InvalidArgument, missing("PID"), true},
    {"VOKPid as text", changed([](json& d) { d["VOKInformation"]["VOKPid"] = "655"; }),
     Thrown::TypeError, "", false},
    {"VOKPid beyond int",
     changed([](json& d) { d["VOKInformation"]["VOKPid"] = 4294967296LL + 655; }),
     Thrown::InvalidArgument, "Value of argument VOKPid in json file is out of range", true},
};

class ReplyFailureTest : public testing::TestWithParam<ReplyFailure> {};

TEST_P(ReplyFailureTest, ThrowsTheDocumentedExceptionWithItsTextAndLogLine) {
  const ReplyFailure& row = GetParam();
  SCOPED_TRACE(row.what);
  examples::expectFailure([&] { parse(row.text); }, row.thrown, row.message, row.logged);
}

INSTANTIATE_TEST_SUITE_P(EveryRow, ReplyFailureTest, testing::ValuesIn(Failures));

}  // namespace
