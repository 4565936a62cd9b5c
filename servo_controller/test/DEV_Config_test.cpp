#include "DEV_Config.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "MockI2cFunctions.h"
#include "MockSleepFunctions.h"
#include "Sleep.h"
#include "SleepWrapperLinux.h"
#include "am65x.h"

using testing::_;
using testing::Return;
using testing::StrEq;

namespace {

class DevConfigTest : public testing::Test {
 protected:
  void TearDown() override {
    am65x_i2c_end();  // the device must not outlive its substitute
    sleepUseFunctions(std::make_shared<SleepWrapperLinux>());
  }
  void open() {
    EXPECT_CALL(*bus, _open(StrEq("/dev/i2c-4"), _)).WillOnce(Return(5));
    EXPECT_CALL(*bus, _ioctl(5, _, 0x40)).WillOnce(Return(0));
    ASSERT_EQ(DEV_ModuleInit(bus), 0);
  }
  // A sleep substitute in place of the real one until the test ends.
  std::shared_ptr<MockSleepFunctions> substituteSleep() {
    auto sleeper = std::make_shared<MockSleepFunctions>();
    sleepUseFunctions(sleeper);
    return sleeper;
  }

  std::shared_ptr<testing::NiceMock<MockI2cFunctions>> bus =
      std::make_shared<testing::NiceMock<MockI2cFunctions>>();
};

// Nothing is written to, or closed on, whatever descriptor 0 is.
TEST_F(DevConfigTest, WithoutADeviceInitFailsTransfersFailAndNothingIsClosed) {
  EXPECT_CALL(*bus, _open(_, _)).WillOnce(Return(-1));
  testing::internal::CaptureStderr();
  EXPECT_EQ(DEV_ModuleInit(bus), 1);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(IIC_Write(0x01, 0x02), 1);
  EXPECT_EQ(am65x_i2c_end(), -1);
}

// Plain word reads are big-endian, SMBus word reads swap; a plain read of
// nothing keeps the register; the exit closes the kept descriptor.
TEST_F(DevConfigTest, TransfersGoToTheKeptDescriptorUntilTheModuleExits) {
  open();
  EXPECT_CALL(*bus, _read(5, _, 1)).WillOnce(Return(0));
  EXPECT_CALL(*bus, _read(5, _, 2)).WillOnce([](int, void* buf, size_t) {
    memcpy(buf, "\x12\x34", 2);
    return 2L;
  });
  EXPECT_CALL(*bus, _i2c_smbus_read_word_data(5, 0x08)).WillOnce(Return(0x1234));
  EXPECT_CALL(*bus, _i2c_smbus_write_byte_data(5, 0x01, 0x04)).WillOnce(Return(0));
  EXPECT_CALL(*bus, _i2c_smbus_read_byte_data(5, 0x01)).WillOnce(Return(0x04));
  testing::internal::CaptureStderr();
  EXPECT_EQ(IIC_Read(0x2A), 0x2A);
  EXPECT_EQ(IIC_ReadWord(), 0x1234);
  EXPECT_EQ(IIC_SMBUS_ReadWord(0x08), 0x3412);
  EXPECT_EQ(IIC_SMBUS_Write(0x01, 0x04), 0);
  EXPECT_EQ(IIC_SMBUS_Read(0x01), 0x04);
  EXPECT_THAT(testing::internal::GetCapturedStderr(),
              testing::EndsWith("3 bytes request\nam65x reads 4660\n2 bytes request\nam65x reads 4\n"));
  EXPECT_CALL(*bus, _close(5)).WillOnce(Return(0));
  EXPECT_EQ(DEV_ModuleExit(), 1);
}

TEST_F(DevConfigTest, FailedWordReadsGiveZeroWithMessage) {
  open();
  EXPECT_CALL(*bus, _read(5, _, 2)).WillOnce(Return(-1));
  EXPECT_CALL(*bus, _i2c_smbus_read_word_data(5, 0x08)).WillOnce(Return(-5));
  testing::internal::CaptureStderr();
  EXPECT_EQ(IIC_ReadWord(), 0);
  EXPECT_EQ(IIC_SMBUS_ReadWord(0x08), 0);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_THAT(err, testing::HasSubstr("IIC_ReadWord error: "));
  EXPECT_THAT(err, testing::HasSubstr("IIC_SMBUS_ReadWord error: "));
}

TEST(DelayTest, ThousandMillisecondsIsReportedAndCutTo999) {
  testing::internal::CaptureStderr();
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(delay_ms(1000), 0);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "delay_ms error: delay value needs to be less than 999\n");
  EXPECT_GE(elapsed, std::chrono::milliseconds(999));
  EXPECT_LT(elapsed, std::chrono::milliseconds(1500));
}

TEST_F(DevConfigTest, InterruptedDelayIsReportedAndNotResumed) {
  EXPECT_CALL(*substituteSleep(), _nanosleep(_, _)).WillOnce([](const timespec* t, timespec*) {
    EXPECT_EQ(t->tv_sec, 0);
    EXPECT_EQ(t->tv_nsec, 999000000L);
    errno = EINTR;
    return -1;
  });
  testing::internal::CaptureStderr();
  DEV_Delay_ms(999);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "delay_ms error: Interrupted system call\n");
}

TEST_F(DevConfigTest, SleepResumesWithTheTimeLeftAfterASignal) {
  auto sleeper = substituteSleep();
  testing::InSequence order;
  EXPECT_CALL(*sleeper, _nanosleep(_, _)).WillOnce([](const timespec* t, timespec* left) {
    EXPECT_EQ(t->tv_nsec, 150000000L);
    *left = timespec{0, 40000000L};
    errno = EINTR;
    return -1;
  });
  EXPECT_CALL(*sleeper, _nanosleep(testing::Pointee(testing::Field(&timespec::tv_nsec, 40000000L)), _))
      .WillOnce(Return(0));
  sleepResuming(150);
  EXPECT_THROW(sleepUseFunctions(nullptr), std::invalid_argument);
}

}  // namespace
