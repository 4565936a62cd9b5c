#include "logFailure.h"

#include "VOKException.h"
#include "configurationDataFactory.h"

#include <gtest/gtest.h>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(RunLoggingFailure, ACompletedBodyLogsNothingAndEveryKindOfExceptionEndsAsOneErrorLine) {
  bool ran = false;
  const struct {
    std::function<void()> body;
    std::string line;  // empty for a body that completes
  } cases[] = {
      {[&] { ran = true; }, ""},
      {[] { throw VOK::VOKException("shm_open failed"); }, "ERR: (app::thread()): shm_open failed\n"},
      {[] { throw ConfigurationDataFactory::AttributeMissingException("shm_open failed"); },
       "ERR: (app::thread()): shm_open failed\n"},
      {[] { throw 3; }, "ERR: (app::thread()): unknown exception\n"},
  };
  for (const auto& c : cases) {
    CaptureStdout();
    EXPECT_EQ(c.line.empty(), runLoggingFailure("app::thread()", c.body));
    EXPECT_EQ(GetCapturedStdout(), c.line);
  }
  EXPECT_TRUE(ran);
}
