#include "chainFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace {

TEST(SplitWords, SplitsAsAShellWithoutExpansion) {
  struct Row {
    std::string line;
    CommandLine words;
  };
  const std::vector<Row> rows = {
      {"", {}},
      {"   # a comment", {}},
      {"VOK_App -c 2", {"VOK_App", "-c", "2"}},
      {"\tservo_controller  --failsafe\t500 ", {"servo_controller", "--failsafe", "500"}},
      {"feed 'two words' \"and $HOME\" a\\ b", {"feed", "two words", "and $HOME", "a b"}},
      {"x \"q\\\"uote\\\\ \\n\" 'back\\slash'", {"x", "q\"uote\\ \\n", "back\\slash"}},
      {"app#tag # rest", {"app#tag"}},
      {"'' \"\" glued'part'\"s\"", {"", "", "gluedparts"}},
      {"~/bin/app *.txt", {"~/bin/app", "*.txt"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(splitWords(row.line), row.words) << row.line;
  }
}

TEST(SplitWords, OpenQuotesAndATrailingBackslashAreRefused) {
  for (const std::string line : {"a 'open", "a \"open", "a\\"}) {
    EXPECT_THROW(splitWords(line), std::invalid_argument) << line;
  }
}

class ChainFile : public ::testing::Test {
 protected:
  std::string path = "/tmp/vok_launcher_test_" + std::to_string(::getpid()) + ".chain";
  void TearDown() override { ::unlink(path.c_str()); }
  void write(const std::string& text) { std::ofstream(path) << text; }
  std::string failure() {
    try {
      readChainFile(path);
    } catch (const std::invalid_argument& e) {
      return e.what();
    }
    return "(nothing thrown)";
  }
};

TEST_F(ChainFile, KeepsTheCommandLinesInOrder) {
  write("# the broker first\n/usr/bin/VOK_App\n\n  python3 'feed.py'  \nservo_controller # last\n");
  const Chain chain = readChainFile(path);
  EXPECT_EQ(chain.members,
            (std::vector<CommandLine>{{"/usr/bin/VOK_App"}, {"python3", "feed.py"}, {"servo_controller"}}));
  EXPECT_EQ(0u, chain.hangMs);
  write("VOK_App --open\nhang-ms 2000\n");
  EXPECT_EQ(2000u, readChainFile(path).hangMs);
}

TEST_F(ChainFile, ErrorsNameTheFileAndLine) {
  EXPECT_EQ(failure(), "Cannot read the chain file " + path + ": No such file or directory");
  write("# nothing\n\n");
  EXPECT_EQ(failure(), "The chain file " + path + " holds no command line");
  write("VOK_App\n\napp 'open\n");
  EXPECT_EQ(failure(), path + ":3: unterminated single quote");
  write("VOK_App\nhang-ms 0\n");
  EXPECT_EQ(failure(), path + ":2: hang-ms needs milliseconds from 1 to 3600000, not '0'");
}

}  // namespace
