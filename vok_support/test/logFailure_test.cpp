#include "logFailure.h"

#include "VOKException.h"
#include "configurationDataFactory.h"

#include <gtest/gtest.h>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(RunLoggingFailure, CompletedBodyLogsNothing) {
  CaptureStdout();
  bool ran = false;
  EXPECT_TRUE(runLoggingFailure("app::thread()", [&] { ran = true; }));
  EXPECT_TRUE(ran);
  EXPECT_EQ(GetCapturedStdout(), "");
}

TEST(RunLoggingFailure, EveryKindOfExceptionEndsAsOneErrorLine) {
  const std::function<void()> throwers[] = {
      [] { throw VOK::VOKException("shm_open failed"); },
      [] { throw ConfigurationDataFactory::AttributeMissingException("shm_open failed"); },
  };
  for (const auto& thrower : throwers) {
    CaptureStdout();
    EXPECT_FALSE(runLoggingFailure("app::thread()", thrower));
    EXPECT_EQ(GetCapturedStdout(), "ERR: (app::thread()): shm_open failed\n");
  }
  CaptureStdout();
  EXPECT_FALSE(runLoggingFailure("app::thread()", [] { throw 3; }));
  EXPECT_EQ(GetCapturedStdout(), "ERR: (app::thread()): unknown exception\n");
}
