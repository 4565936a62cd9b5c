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
using testing::Invoke;
using testing::Return;
using testing::StrEq;
using testing::StrictMock;

namespace {

class I2cFuncTest : public testing::Test {
 protected:
  std::shared_ptr<StrictMock<MockI2cFunctions>> mock =
      std::make_shared<StrictMock<MockI2cFunctions>>();
};

TEST_F(I2cFuncTest, DeviceRejectsNullFunctionsAndClosesItsDescriptorWhenDestroyed) {
  EXPECT_THROW(I2cDevice(nullptr, 4, 0x40), std::invalid_argument);
  EXPECT_CALL(*mock, _open(StrEq("/dev/i2c-4"), O_RDWR)).WillOnce(Return(9));
  EXPECT_CALL(*mock, _ioctl(9, I2C_SLAVE, 0x40)).WillOnce(Return(0));
  EXPECT_CALL(*mock, _close(9)).WillOnce(Return(0));
  I2cDevice device(mock, 4, 0x40);
  EXPECT_EQ(device.descriptor(), 9);
}

TEST_F(I2cFuncTest, OpenSelectsSlaveAddressOnBusDevice) {
  EXPECT_CALL(*mock, _open(StrEq("/dev/i2c-4"), O_RDWR)).WillOnce(Return(9));
  EXPECT_CALL(*mock, _ioctl(9, I2C_SLAVE, 0x40)).WillOnce(Return(0));
  EXPECT_EQ(i2c_open(*mock, 4, 0x40), 9);
}

TEST_F(I2cFuncTest, OpenFailureReturnsNegativeDescriptorWithMessage) {
  EXPECT_CALL(*mock, _open(_, _)).WillOnce(Invoke([](const char*, int) {
    errno = ENOENT;
    return -1;
  }));
  testing::internal::CaptureStderr();
  EXPECT_EQ(i2c_open(*mock, 1, 0x40), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "i2c_open open error: No such file or directory\n");
}

TEST_F(I2cFuncTest, RejectedSlaveAddressClosesTheDeviceAgain) {
  EXPECT_CALL(*mock, _open(_, _)).WillOnce(Return(9));
  EXPECT_CALL(*mock, _ioctl(9, I2C_SLAVE, 0x77)).WillOnce(Invoke([](int, unsigned long, long) {
    errno = EBUSY;
    return -1;
  }));
  EXPECT_CALL(*mock, _close(9)).WillOnce(Return(0));
  testing::internal::CaptureStderr();
  EXPECT_EQ(i2c_open(*mock, 4, 0x77), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "i2c_open ioctl error: Device or resource busy\n");
}

TEST_F(I2cFuncTest, ShortPlainTransfersAndCloseFailureAreReported) {
  uint8_t buf[2] = {1, 2};
  EXPECT_CALL(*mock, _write(3, buf, 2)).WillOnce(Return(1));
  EXPECT_CALL(*mock, _read(3, buf, 2)).WillOnce(Return(2));
  EXPECT_CALL(*mock, _close(3)).WillOnce(Return(-1));
  testing::internal::CaptureStderr();
  EXPECT_EQ(i2c_write(*mock, 3, buf, 2), -1);
  EXPECT_EQ(i2c_read(*mock, 3, buf, 2), 2);
  EXPECT_EQ(i2c_close(*mock, 3), -1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_THAT(err, HasSubstr("i2c_write error: "));
  EXPECT_THAT(err, HasSubstr("i2c_close error: "));
  EXPECT_THAT(err, testing::Not(HasSubstr("i2c_read")));
}

TEST_F(I2cFuncTest, SmbusWriteOfLengthZeroTransfersNothingAndSaysNothing) {
  uint8_t buf[1] = {0x06};
  testing::internal::CaptureStderr();
  EXPECT_EQ(i2c_smbus_write(*mock, 3, buf, 0), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(I2cFuncTest, SmbusWriteLengthSelectsTheTransfer) {
  const uint8_t buf[6] = {0x06, 0x34, 0x12, 7, 8, 9};
  EXPECT_CALL(*mock, _i2c_smbus_write_byte(3, 0x06)).WillOnce(Return(0));
  EXPECT_CALL(*mock, _i2c_smbus_write_byte_data(3, 0x06, 0x34)).WillOnce(Return(0));
  EXPECT_CALL(*mock, _i2c_smbus_write_word_data(3, 0x06, 0x1234)).WillOnce(Return(0));
  EXPECT_CALL(*mock, _i2c_smbus_write_block_data(3, 0x06, 5, buf + 1)).WillOnce(Return(0));
  EXPECT_EQ(i2c_smbus_write(*mock, 3, buf, 1), 0);
  EXPECT_EQ(i2c_smbus_write(*mock, 3, buf, 2), 0);
  EXPECT_EQ(i2c_smbus_write(*mock, 3, buf, 3), 0);
  EXPECT_EQ(i2c_smbus_write(*mock, 3, buf, 6), 0);
}

TEST_F(I2cFuncTest, SmbusWriteFailureNamesTransferErrorAndResult) {
  const uint8_t buf[3] = {0x06, 1, 2};
  EXPECT_CALL(*mock, _i2c_smbus_write_word_data(3, 0x06, 0x0201))
      .WillOnce(Invoke([](int, uint8_t, uint16_t) {
        errno = EIO;
        return -EIO;
      }));
  testing::internal::CaptureStderr();
  EXPECT_EQ(i2c_smbus_write(*mock, 3, buf, 3), -EIO);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "i2c_smbus_write word data error: Input/output error, -5\n");
}

TEST_F(I2cFuncTest, SmbusReadByteDataAndWordDataFillTheBuffer) {
  uint8_t buf[3] = {0x10, 0, 0};
  EXPECT_CALL(*mock, _i2c_smbus_read_byte_data(3, 0x10)).WillOnce(Return(0xAB));
  EXPECT_CALL(*mock, _i2c_smbus_read_word_data(3, 0xAB)).WillOnce(Return(0x1234));
  testing::internal::CaptureStderr();
  EXPECT_EQ(i2c_smbus_read(*mock, 3, buf, 2), 0xAB);
  EXPECT_EQ(buf[0], 0xAB);
  EXPECT_EQ(i2c_smbus_read(*mock, 3, buf, 3), 0x1234);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "2 bytes request\n3 bytes request\n");
  EXPECT_EQ(buf[0], 0x34);
  EXPECT_EQ(buf[1], 0x12);
}

TEST_F(I2cFuncTest, SmbusReadByteLeavesBufferUntouched) {
  uint8_t buf[1] = {0x55};
  EXPECT_CALL(*mock, _i2c_smbus_read_byte(3)).WillOnce(Return(0x77));
  testing::internal::CaptureStderr();
  EXPECT_EQ(i2c_smbus_read(*mock, 3, buf, 0), 0x77);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(buf[0], 0x55);
}

TEST_F(I2cFuncTest, SmbusBlockReadNeverWritesPastTheCallersBuffer) {
  uint8_t buf[6] = {0x20, 0, 0, 0, 0xEE, 0xEE};
  EXPECT_CALL(*mock, _i2c_smbus_read_block_data(3, 0x20, _))
      .WillOnce(Invoke([](int, uint8_t, uint8_t* values) {
        memset(values, 0x42, 32);
        return 32;
      }));
  testing::internal::CaptureStderr();
  EXPECT_EQ(i2c_smbus_read(*mock, 3, buf, 4), 32);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(buf[3], 0x42);
  EXPECT_EQ(buf[4], 0xEE);
}

TEST_F(I2cFuncTest, SmbusReadFailureIsReportedAndBufferKept) {
  uint8_t buf[2] = {0x10, 0x99};
  EXPECT_CALL(*mock, _i2c_smbus_read_byte_data(3, 0x10)).WillOnce(Invoke([](int, uint8_t) {
    errno = ENXIO;
    return -ENXIO;
  }));
  testing::internal::CaptureStderr();
  EXPECT_EQ(i2c_smbus_read(*mock, 3, buf, 2), -ENXIO);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "2 bytes request\ni2c_smbus_read byte error: No such device or address, -6\n");
  EXPECT_EQ(buf[0], 0x10);
}

}  // namespace
