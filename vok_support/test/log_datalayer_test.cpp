#include "log_datalayer.h"
#include "VOKException.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

template <typename Call>
std::string printed(Call call) {
  testing::internal::CaptureStdout();
  call();
  return testing::internal::GetCapturedStdout();
}

std::string logged(LOG_CAT category, const std::string& component, const std::string& message) {
  return printed([&] { log(category, component, message); });
}

}  // namespace

TEST(Log, EachCategoryPrintsItsPrefixAndOneLineTheSameInTheSignalSafeForm) {
  const struct {
    LOG_CAT category;
    const char* component;
    std::string line;
  } cases[] = {
      {LOG_INFO, "VOK_App/src/main", "Log: (VOK_App/src/main): Caught Stop-signal\n"},
      {LOG_ERROR, "vok_support/src/socketHandler", "ERR: (vok_support/src/socketHandler): Caught Stop-signal\n"},
      {static_cast<LOG_CAT>(3), "c", "<noCatSpecified: (c): Caught Stop-signal\n"},
      {static_cast<LOG_CAT>(7), "c", "<noCatSpecified: (c): Caught Stop-signal\n"},
      {LOG_DEBUG, "c", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(logged(c.category, c.component, "Caught Stop-signal"), c.line);
    EXPECT_EQ(printed([&] { logSignalSafe(c.category, c.component, "Caught Stop-signal"); }), c.line);
  }
}

// One call is one line whatever the texts hold; other bytes stay as they are.
TEST(Log, EmptyComponentAndControlCharactersAreWrittenEscaped) {
  EXPECT_EQ(logged(LOG_INFO, "", "a\nb"), "Log: (): a\\nb\n");
  EXPECT_EQ(logged(LOG_ERROR, "c\r\t", std::string("\x1b[2J\x7f\0\xc3\xa9\\n", 10)),
            "ERR: (c\\r\\t): \\x1b[2J\\x7f\\x00\xc3\xa9\\n\n");
}

TEST(Log, LinesOfThreadsLoggingAtOnceStayWhole) {
  const std::string line = "Log: (reader): " + std::string(200, 'r') + "\n";
  testing::internal::CaptureStdout();
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
  const std::string text = testing::internal::GetCapturedStdout();
  ASSERT_EQ(text.size(), 40000 * line.size());
  for (size_t at = 0; at < text.size(); at += line.size()) {
    ASSERT_EQ(text.compare(at, line.size(), line), 0) << "at byte " << at;
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
