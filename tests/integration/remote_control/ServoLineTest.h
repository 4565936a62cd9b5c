#pragma once

#include <gtest/gtest.h>

#include "SerialLine.h"

namespace vok_itest {

// A test whose serial line is a pseudo-terminal linked at /dev/serial0;
// skipped where something else is there already.
class ServoLineTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!serial.linked()) {
      GTEST_SKIP() << "/dev/serial0 exists; this test never replaces it";
    }
  }

  SerialLine serial{"/dev/serial0"};
};

}  // namespace vok_itest
