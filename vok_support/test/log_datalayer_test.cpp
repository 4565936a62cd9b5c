#include "log_datalayer.h"
#include "VOKException.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Captures what the process writes to file descriptor 1, through both
// std::cout and write(2).
class StdoutCapture {
 public:
  StdoutCapture() {
    std::fflush(stdout);
    saved = ::dup(STDOUT_FILENO);
    file = std::tmpfile();
    ::dup2(::fileno(file), STDOUT_FILENO);
  }
  std::string finish() {
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    std::string text;
    std::rewind(file);
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
      text.push_back(static_cast<char>(c));
    }
    std::fclose(file);
    return text;
  }

 private:
  int saved;
  std::FILE* file;
};

std::string logged(LOG_CAT category, const std::string& component, const std::string& message) {
  StdoutCapture capture;
  log(category, component, message);
  return capture.finish();
}

std::string loggedSignalSafe(LOG_CAT category, const char* component, const char* message) {
  StdoutCapture capture;
  logSignalSafe(category, component, message);
  return capture.finish();
}

}  // namespace

TEST(Log, EachCategoryPrintsItsPrefixAndOneLine) {
  EXPECT_EQ(logged(LOG_INFO, "VOK_App/src/main", "Caught Stop-signal"),
            "Log: (VOK_App/src/main): Caught Stop-signal\n");
  EXPECT_EQ(logged(LOG_ERROR, "vok_support/src/socketHandler", "Closed socket"),
            "ERR: (vok_support/src/socketHandler): Closed socket\n");
  EXPECT_EQ(logged(static_cast<LOG_CAT>(3), "c", "m"), "<noCatSpecified: (c): m\n");
}

TEST(Log, DebugPrintsNothingAtAll) { EXPECT_EQ(logged(LOG_DEBUG, "c", "m"), ""); }

// One call is one line whatever the texts hold; other bytes stay as they are.
TEST(Log, EmptyComponentAndControlCharactersAreWrittenEscaped) {
  EXPECT_EQ(logged(LOG_INFO, "", "a\nb"), "Log: (): a\\nb\n");
  EXPECT_EQ(logged(LOG_ERROR, "c\r\t", std::string("\x1b[2J\x7f\0\xc3\xa9\\n", 10)),
            "ERR: (c\\r\\t): \\x1b[2J\\x7f\\x00\xc3\xa9\\n\n");
}

TEST(Log, LinesOfThreadsLoggingAtOnceStayWhole) {
  const std::string line = "Log: (reader): " + std::string(200, 'r') + "\n";
  StdoutCapture capture;
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 5000; ++i) {
        log(LOG_INFO, "reader", std::string(200, 'r'));
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  const std::string text = capture.finish();
  ASSERT_EQ(text.size(), 40000 * line.size());
  for (size_t at = 0; at < text.size(); at += line.size()) {
    ASSERT_EQ(text.compare(at, line.size(), line), 0) << "at byte " << at;
  }
}

TEST(Log, SignalSafeFormWritesTheSameBytes) {
  for (LOG_CAT category : {LOG_INFO, LOG_DEBUG, LOG_ERROR, static_cast<LOG_CAT>(7)}) {
    EXPECT_EQ(loggedSignalSafe(category, "VOK_App/src/main", "Caught Stop-signal"),
              logged(category, "VOK_App/src/main", "Caught Stop-signal"));
  }
}

TEST(VOKException, KeepsItsMessageAfterTheSourceIsGone) {
  auto make = [] {
    std::string text = "shm_open failed: No such file or directory";
    return VOK::VOKException(text);
  };
  VOK::VOKException error = make();
  EXPECT_STREQ(error.what(), "shm_open failed: No such file or directory");
  EXPECT_STREQ(VOK::VOKException("").what(), "");
  const std::exception& base = error;
  EXPECT_STREQ(base.what(), error.what());
}
