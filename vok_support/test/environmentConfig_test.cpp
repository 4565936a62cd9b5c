#include <gtest/gtest.h>

#include "VokEnvironmentConfig.h"
#include "messageExamples.h"

namespace {

using VOK::VokEnvironmentConfig;

TEST(EnvironmentRequestTest, IsTheFixed83ByteText) {
  const std::string tabs = "#011#011#011";
  const std::string expected = "{ " + tabs + "\"Type\" : \"ConfigDataRequest\", " + tabs +
                               "\"Version\" : \"0.1\" #011#011}";
  EXPECT_EQ(expected, VokEnvironmentConfig::GetRequestVokEnvironmentConfig());
}

TEST(EnvironmentReplyTest, ReadsTheBrokersLifetime) {
  testing::internal::CaptureStdout();
  auto config = VokEnvironmentConfig::CreateFromString(examples::EnvironmentReply);
  EXPECT_EQ("", testing::internal::GetCapturedStdout());
  ASSERT_TRUE(config);
  EXPECT_EQ("0.1", config->getVersion());
  EXPECT_EQ(100u, config->getSegmentLifeTime());
  EXPECT_EQ(18446744073709551615ull,
            VokEnvironmentConfig::CreateFromString(
                R"({"ConfigData":{"SegmentLifetime":18446744073709551615},"Version":"2"})")
                ->getSegmentLifeTime());
}

TEST(EnvironmentReplyTest, TextThatIsNotJsonThrowsWithTheText) {
  for (const std::string text : {"{", "", "{\"ConfigData\":{}}}"}) {
    try {
      VokEnvironmentConfig::CreateFromString(text);
      ADD_FAILURE() << text;
    } catch (const std::invalid_argument& e) {
      EXPECT_EQ("VokEnvironmentConfig::CreateFromString(): parse json file failed: " + text,
                e.what());
    }
  }
}

class EnvironmentFallbackTest : public testing::TestWithParam<const char*> {};

TEST_P(EnvironmentFallbackTest, UnusableReplyGivesTheDefaultsWithOneErrorLine) {
  testing::internal::CaptureStdout();
  auto config = VokEnvironmentConfig::CreateFromString(GetParam());
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_TRUE(config);
  EXPECT_EQ("0.1", config->getVersion());
  EXPECT_EQ(10u, config->getSegmentLifeTime());
  EXPECT_EQ(0u, out.find("ERR: (vok_support/src/VokEnvironmentConfig::CreateFromString()): "));
  EXPECT_EQ(1, std::count(out.begin(), out.end(), '\n'));
}

INSTANTIATE_TEST_SUITE_P(
    LackingOrMistyped, EnvironmentFallbackTest,
    testing::Values(R"({"ConfigData":{"SegmentLifetime":100},"Type":"ConfigDataResponse"})",
                    R"({"ConfigData":{"SegmentLifetime":100},"Version":1})",
                    R"({"Type":"ConfigDataResponse","Version":"0.1"})",
                    R"({"ConfigData":[100],"Version":"0.1"})",
                    R"({"ConfigData":{},"Version":"0.1"})",
                    R"({"ConfigData":{"SegmentLifetime":"100"},"Version":"0.1"})",
                    R"({"ConfigData":{"SegmentLifetime":-1},"Version":"0.1"})",
                    R"({"ConfigData":{"SegmentLifetime":1e300},"Version":"0.1"})", "[]", "7",
                    "null"));

}  // namespace
