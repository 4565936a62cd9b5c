#include <gtest/gtest.h>

#include "messageExamples.h"
#include "receivedText.h"

namespace {

using VOK::dropEnvironmentReplies;

TEST(ReceivedTextTest, DropsEveryCompleteEnvironmentReplyInFront) {
  const std::string reply = examples::ReplyWithProvider;
  const std::string environment = examples::EnvironmentReply;
  EXPECT_EQ(reply, dropEnvironmentReplies(environment + reply));
  EXPECT_EQ(reply, dropEnvironmentReplies(environment + environment + reply));
  EXPECT_EQ("", dropEnvironmentReplies(environment));
  EXPECT_EQ(reply.substr(0, 10), dropEnvironmentReplies(environment + reply.substr(0, 10)));
  // Braces and quotes inside strings do not end the object.
  EXPECT_EQ("rest", dropEnvironmentReplies(
                        R"({"ConfigData":{"Note":"}\"}{"},"Type":"ConfigDataResponse","Version":"0.1"})"
                        "rest"));
}

TEST(ReceivedTextTest, LeavesEverythingElseAsItIs) {
  const std::string environment = examples::EnvironmentReply;
  for (const std::string& text :
       {examples::ReplyWithProvider, examples::ReplyWithoutProvider + environment,
        environment.substr(0, environment.size() - 1), std::string(" ") + environment,
        std::string(R"({"ConfigData":{"SegmentLifetime":1},"Type":"ConnectToVOKResult"})"),
        std::string(R"({"ConfigData":"}{\"Type\":\"ConfigDataResponse\"","Type":1})"),
        std::string()}) {
    EXPECT_EQ(text, dropEnvironmentReplies(text));
  }
}

}  // namespace
