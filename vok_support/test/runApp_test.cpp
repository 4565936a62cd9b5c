#include "runApp.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(RunApp, ReturnsTheBodysStatusOrOneWithTheFailureLogged) {
  const VOK::AppRun app{"test/main", "test/main", {}, false};
  EXPECT_EQ(VOK::runApp(app, [] { return 7; }), 7);
  testing::internal::CaptureStdout();
  EXPECT_EQ(VOK::runApp(app, []() -> int { throw std::runtime_error("no device"); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERR: (test/main): no device\n");
}

}  // namespace
