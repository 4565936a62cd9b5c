#include "i2cfunc.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <linux/i2c-dev.h>

#include <cerrno>
#include <cstring>

#include "I2cDevice.h"
#include "MockI2cFunctions.h"

using testing::_;
using testing::HasSubstr;
using testing::Return;
using testing::SetErrnoAndReturn;
using testing::StrEq;

namespace {

class I2cFuncTest : public testing::Test {
 protected:
  std::shared_ptr<testing::StrictMock<MockI2cFunctions>> mock =
      std::make_shared<testing::StrictMock<MockI2cFunctions>>();
  // What stderr received while action ran.
  template <typename Action>
  std::string complaints(Action action) {
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
  }
};

// The device opens the bus through i2c_open and selects the slave address.
TEST_F(I2cFuncTest, DeviceRejectsNullFunctionsAndClosesItsDescriptorWhenDestroyed) {
  EXPECT_THROW(I2cDevice(nullptr, 4, 0x40), std::invalid_argument);
  EXPECT_CALL(*mock, _open(StrEq("/dev/i2c-4"), O_RDWR)).WillOnce(Return(9));
  EXPECT_CALL(*mock, _ioctl(9, I2C_SLAVE, 0x40)).WillOnce(Return(0));
  EXPECT_CALL(*mock, _close(9)).WillOnce(Return(0));
  I2cDevice device(mock, 4, 0x40);
  EXPECT_EQ(device.descriptor(), 9);
}

TEST_F(I2cFuncTest, FailedOpenOrRejectedSlaveAddressGivesMinusOneAndClosesWhatWasOpened) {
  EXPECT_CALL(*mock, _open(_, _)).WillOnce(SetErrnoAndReturn(ENOENT, -1)).WillOnce(Return(9));
  EXPECT_CALL(*mock, _ioctl(9, I2C_SLAVE, 0x77)).WillOnce(SetErrnoAndReturn(EBUSY, -1));
  EXPECT_CALL(*mock, _close(9)).WillOnce(Return(0));
  EXPECT_EQ(complaints([&] { EXPECT_EQ(i2c_open(*mock, 1, 0x40), -1); }),
            "i2c_open open error: No such file or directory\n");
  EXPECT_EQ(complaints([&] { EXPECT_EQ(i2c_open(*mock, 4, 0x77), -1); }),
            "i2c_open ioctl error: Device or resource busy\n");
}

TEST_F(I2cFuncTest, ShortPlainTransfersAndCloseFailureAreReported) {
  uint8_t buf[2] = {1, 2};
  EXPECT_CALL(*mock, _write(3, buf, 2)).WillOnce(Return(1));
  EXPECT_CALL(*mock, _read(3, buf, 2)).WillOnce(Return(2));
  EXPECT_CALL(*mock, _close(3)).WillOnce(Return(-1));
  const std::string err = complaints([&] {
    EXPECT_EQ(i2c_write(*mock, 3, buf, 2), -1);
    EXPECT_EQ(i2c_read(*mock, 3, buf, 2), 2);
    EXPECT_EQ(i2c_close(*mock, 3), -1);
  });
  EXPECT_THAT(err, HasSubstr("i2c_write error: "));
  EXPECT_THAT(err, HasSubstr("i2c_close error: "));
  EXPECT_THAT(err, testing::Not(HasSubstr("i2c_read")));
}

// Length 0 transfers nothing and says nothing.
TEST_F(I2cFuncTest, SmbusWriteLengthSelectsTheTransfer) {
  const uint8_t buf[6] = {0x06, 0x34, 0x12, 7, 8, 9};
  EXPECT_CALL(*mock, _i2c_smbus_write_byte(3, 0x06)).WillOnce(Return(0));
  EXPECT_CALL(*mock, _i2c_smbus_write_byte_data(3, 0x06, 0x34)).WillOnce(Return(0));
  EXPECT_CALL(*mock, _i2c_smbus_write_word_data(3, 0x06, 0x1234)).WillOnce(Return(0));
  EXPECT_CALL(*mock, _i2c_smbus_write_block_data(3, 0x06, 5, buf + 1)).WillOnce(Return(0));
  EXPECT_EQ(complaints([&] { EXPECT_EQ(i2c_smbus_write(*mock, 3, buf, 0), -1); }), "");
  EXPECT_EQ(i2c_smbus_write(*mock, 3, buf, 1), 0);
  EXPECT_EQ(i2c_smbus_write(*mock, 3, buf, 2), 0);
  EXPECT_EQ(i2c_smbus_write(*mock, 3, buf, 3), 0);
  EXPECT_EQ(i2c_smbus_write(*mock, 3, buf, 6), 0);
}

TEST_F(I2cFuncTest, SmbusWriteFailureNamesTransferErrorAndResult) {
  const uint8_t buf[3] = {0x06, 1, 2};
  EXPECT_CALL(*mock, _i2c_smbus_write_word_data(3, 0x06, 0x0201)).WillOnce(SetErrnoAndReturn(EIO, -EIO));
  EXPECT_EQ(complaints([&] { EXPECT_EQ(i2c_smbus_write(*mock, 3, buf, 3), -EIO); }),
            "i2c_smbus_write word data error: Input/output error, -5\n");
}

// A byte read leaves the buffer alone; byte data and word data fill it.
TEST_F(I2cFuncTest, SmbusReadLengthSelectsTheTransferAndWhatIsFilled) {
  uint8_t buf[3] = {0x10, 0, 0};
  EXPECT_CALL(*mock, _i2c_smbus_read_byte(3)).WillOnce(Return(0x77));
  EXPECT_CALL(*mock, _i2c_smbus_read_byte_data(3, 0x10)).WillOnce(Return(0xAB));
  EXPECT_CALL(*mock, _i2c_smbus_read_word_data(3, 0xAB)).WillOnce(Return(0x1234));
  const std::string err = complaints([&] {
    EXPECT_EQ(i2c_smbus_read(*mock, 3, buf, 0), 0x77);
    EXPECT_EQ(buf[0], 0x10);
    EXPECT_EQ(i2c_smbus_read(*mock, 3, buf, 2), 0xAB);
    EXPECT_EQ(buf[0], 0xAB);
    EXPECT_EQ(i2c_smbus_read(*mock, 3, buf, 3), 0x1234);
  });
  EXPECT_EQ(err, "0 bytes request\n2 bytes request\n3 bytes request\n");
  EXPECT_EQ(buf[0], 0x34);
  EXPECT_EQ(buf[1], 0x12);
}

TEST_F(I2cFuncTest, SmbusBlockReadNeverWritesPastTheCallersBuffer) {
  uint8_t buf[6] = {0x20, 0, 0, 0, 0xEE, 0xEE};
  EXPECT_CALL(*mock, _i2c_smbus_read_block_data(3, 0x20, _)).WillOnce([](int, uint8_t, uint8_t* values) {
    memset(values, 0x42, 32);
    return 32;
  });
  complaints([&] { EXPECT_EQ(i2c_smbus_read(*mock, 3, buf, 4), 32); });
  EXPECT_EQ(buf[3], 0x42);
  EXPECT_EQ(buf[4], 0xEE);
}

TEST_F(I2cFuncTest, SmbusReadFailureIsReportedAndBufferKept) {
  uint8_t buf[2] = {0x10, 0x99};
  EXPECT_CALL(*mock, _i2c_smbus_read_byte_data(3, 0x10)).WillOnce(SetErrnoAndReturn(ENXIO, -ENXIO));
  EXPECT_EQ(complaints([&] { EXPECT_EQ(i2c_smbus_read(*mock, 3, buf, 2), -ENXIO); }),
            "2 bytes request\ni2c_smbus_read byte error: No such device or address, -6\n");
  EXPECT_EQ(buf[0], 0x10);
}

}  // namespace
