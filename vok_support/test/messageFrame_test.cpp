#include <gtest/gtest.h>

#include <deque>

#include "messageExamples.h"
#include "messageFrame.h"

namespace {

using VOK::Frame;
using VOK::Piece;

TEST(MessageFrameTest, TellsWhereAGatheredTextStands) {
  const std::string reply = examples::ReplyWithProvider;
  const struct {
    std::string text;
    Frame frame;
  } cases[] = {
      {reply, Frame::Complete},
      {reply + "rest", Frame::Complete},
      {R"({"a":"}"})", Frame::Complete},
      {reply.substr(0, reply.size() - 1), Frame::Incomplete},
      {R"({"a":"}")", Frame::Incomplete},
      {R"({"a":"\"}")", Frame::Incomplete},
      {"", Frame::Incomplete},
      {" {}", Frame::Malformed},
      {"garbage", Frame::Malformed},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.frame, VOK::frameOf(c.text)) << c.text;
  }
  EXPECT_EQ(reply.size(), VOK::leadingObjectLength(reply + "{}"));
}

// A scripted receiver: one entry per attempt, "" for an attempt that brings nothing.
struct Script {
  std::deque<std::string> pieces;
  bool closeAtEnd = false;
  int calls = 0;
  Piece operator()(std::string& piece) {
    ++calls;
    if (pieces.empty()) {
      return closeAtEnd ? Piece::Closed : Piece::Nothing;
    }
    piece = pieces.front();
    pieces.pop_front();
    return piece.empty() ? Piece::Nothing : Piece::Received;
  }
};

bool whole(std::string& text) { return VOK::frameOf(text) == Frame::Complete; }

TEST(MessageFrameTest, GathersPiecesUntilWholeAndLeavesTheRestOfTheBudget) {
  Script script{{"{\"a\":", "", "1}"}};
  std::string text;
  int attemptsLeft = 5;
  EXPECT_TRUE(VOK::gatherMessage(text, attemptsLeft, std::ref(script), whole));
  EXPECT_EQ("{\"a\":1}", text);
  EXPECT_EQ(2, attemptsLeft);
}

TEST(MessageFrameTest, EndsWhenTheAttemptsRunOutOrTheSenderIsGone) {
  for (bool closeAtEnd : {false, true}) {
    Script script{{"{"}, closeAtEnd};
    std::string text;
    int attemptsLeft = 3;
    EXPECT_FALSE(VOK::gatherMessage(text, attemptsLeft, std::ref(script), whole));
    EXPECT_EQ("{", text);
    EXPECT_EQ(closeAtEnd ? 2 : 3, script.calls);
    EXPECT_EQ(closeAtEnd ? 1 : 0, attemptsLeft);
  }
}

}  // namespace
