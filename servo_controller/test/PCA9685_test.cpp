#include "PCA9685.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "MockI2cFunctions.h"
#include "MockSleepFunctions.h"
#include "Sleep.h"
#include "SleepWrapperLinux.h"
#include "am65x.h"

using testing::_;
using testing::Invoke;
using testing::NiceMock;
using testing::Return;

namespace {

using Writes = std::vector<std::pair<int, int>>;

constexpr int kFd = 7;

// Runs the chip driver against a bus substitute that records every plain
// two-byte write as (register, value).
class PCA9685Test : public testing::Test {
 protected:
  void SetUp() override {
    sleepUseFunctions(sleeper);
    ON_CALL(*bus, _open(_, _)).WillByDefault(Return(kFd));
    ON_CALL(*bus, _ioctl(_, _, _)).WillByDefault(Return(0));
    ON_CALL(*bus, _write(kFd, _, 2)).WillByDefault(Invoke([this](int, const void* buf, size_t) {
      auto bytes = static_cast<const uint8_t*>(buf);
      writes.emplace_back(bytes[0], bytes[1]);
      return 2L;
    }));
    ASSERT_EQ(DEV_ModuleInit(bus), 0);
  }
  void TearDown() override {
    am65x_i2c_end();  // the device must not outlive its substitute
    sleepUseFunctions(std::make_shared<SleepWrapperLinux>());
  }

  std::shared_ptr<NiceMock<MockI2cFunctions>> bus = std::make_shared<NiceMock<MockI2cFunctions>>();
  std::shared_ptr<NiceMock<MockSleepFunctions>> sleeper =
      std::make_shared<NiceMock<MockSleepFunctions>>();
  Writes writes;
};

// Each call writes on-low, on-high, off-low, off-high of its channel, whose
// registers start at 6 + 4 * channel and wrap at the register width; angles
// map to the off count through a pulse of 500 + 11 us per degree of a 20 ms period.
TEST_F(PCA9685Test, ChannelCallsWriteTheFourRegistersOfTheChannel) {
  const struct {
    const char* call;
    std::function<void()> act;
    Writes writes;
    std::string output;
  } rows[] = {
      {"setPWM 3", [] { PCA9685_setPWM(3, 0x0123, 0x0ABC); }, {{18, 0x23}, {19, 0x01}, {20, 0xBC}, {21, 0x0A}}, ""},
      {"setPWM 63", [] { PCA9685_setPWM(63, 0, 0); }, {{2, 0}, {3, 0}, {4, 0}, {5, 0}}, ""},
      {"pulse 1500", [] { PCA9685_setServoPulse(0, 1500); }, {{6, 0}, {7, 0}, {8, 307 % 256}, {9, 1}}, ""},
      {"90 degrees", [] { PCA9685_Set_Rotation_Angle(0, 90); }, {{6, 0}, {7, 0}, {8, 305 % 256}, {9, 1}}, ""},
      {"0 degrees", [] { PCA9685_Set_Rotation_Angle(1, 0); }, {{10, 0}, {11, 0}, {12, 102}, {13, 0}}, ""},
      {"180 degrees", [] { PCA9685_Set_Rotation_Angle(2, 180); }, {{14, 0}, {15, 0}, {16, 507 % 256}, {17, 1}}, ""},
      {"181 degrees", [] { PCA9685_Set_Rotation_Angle(0, 181); }, {}, "Angle out of range \n"},
  };
  for (const auto& row : rows) {
    writes.clear();
    testing::internal::CaptureStdout();
    row.act();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), row.output) << row.call;
    EXPECT_EQ(writes, row.writes) << row.call;
  }
}

TEST_F(PCA9685Test, InitRunsTheStartUpSequence) {
  EXPECT_CALL(*bus, _read(kFd, _, 1)).WillOnce(Invoke([](int, void* buf, size_t) {
    *static_cast<uint8_t*>(buf) = 0x21;
    return 1L;
  }));
  std::vector<long> pauses;
  ON_CALL(*sleeper, _nanosleep(_, _)).WillByDefault(Invoke([&](const timespec* t, timespec*) {
    pauses.push_back(t->tv_sec * 1000 + t->tv_nsec / 1000000);
    return 0;
  }));
  EXPECT_EQ(Init_PCA9685(), 0);
  EXPECT_EQ(writes, (Writes{{0x00, 0x00}, {0x00, 0x31}, {0xFE, 0x7C}, {0x00, 0x21}, {0x00, 0xA1}, {0x01, 0x04},
                            {6, 0}, {7, 0}, {8, 0x33}, {9, 0x01}, {10, 0}, {11, 0}, {12, 0x33}, {13, 0x01}}));
  EXPECT_EQ(pauses, std::vector<long>{200});
}

TEST_F(PCA9685Test, InitReportsAFailedLastWrite) {
  ON_CALL(*bus, _write(kFd, _, 2)).WillByDefault(Return(-1));
  testing::internal::CaptureStderr();
  EXPECT_EQ(Init_PCA9685(), 1);
  testing::internal::GetCapturedStderr();
}

}  // namespace
