#include "servo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "MockSerialFunctions.h"
#include "SerialWrapperLinux.h"
#include "UserDataStruct.h"

using testing::_;
using testing::HasSubstr;
using testing::NiceMock;
using testing::Return;
using testing::StartsWith;

namespace {

// The servo link over a real pseudo-terminal: the driver opens the slave
// side by its path, the test reads what arrives at the master side.
class ServoTest : public testing::Test {
 protected:
  void SetUp() override {
    char name[128];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    path = name;
  }
  void TearDown() override {
    ServoClose();
    close(slave);
    close(master);
  }

  // Everything that arrives within the wait, up to count bytes.
  std::string readMaster(size_t count, int waitMs = 2000) {
    std::string got;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (got.size() < count && std::chrono::steady_clock::now() < end) {
      pollfd p{master, POLLIN, 0};
      if (poll(&p, 1, 50) == 1) {
        char buf[64];
        ssize_t n = read(master, buf, sizeof buf);
        if (n > 0) {
          got.append(buf, n);
        }
      }
    }
    return got;
  }

  // ServoOpen on the pseudo-terminal.
  int openPort() { return ServoOpen(std::make_shared<SerialWrapperLinux>(), path); }

  int master = -1;
  int slave = -1;
  std::string path;
};

TEST_F(ServoTest, OpenSetsNineThousandSixHundredBaudEightNoParityOneStopOnARawLine) {
  // As a terminal usually starts: echo, canonical input, XON/XOFF, output processing.
  termios cooked{};
  ASSERT_EQ(tcgetattr(slave, &cooked), 0);
  cooked.c_iflag |= IXON | IXOFF | IXANY | ICRNL;
  cooked.c_oflag |= OPOST | ONLCR;
  cooked.c_lflag |= ECHO | ICANON | ISIG | IEXTEN;
  ASSERT_EQ(tcsetattr(slave, TCSANOW, &cooked), 0);
  int fd = openPort();
  ASSERT_GE(fd, 0);
  termios t{};
  ASSERT_EQ(tcgetattr(slave, &t), 0);
  EXPECT_EQ(cfgetospeed(&t), B9600);
  EXPECT_EQ(cfgetispeed(&t), B9600);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (CSTOPB | PARENB), 0u);
  EXPECT_EQ(t.c_cflag & CLOCAL, static_cast<tcflag_t>(CLOCAL));
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | ICRNL), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
}

TEST_F(ServoTest, SecondOpenFailsAndKeepsThePortOpen) {
  ASSERT_GE(openPort(), 0);
  EXPECT_EQ(openPort(), -1);
  UserDataStruct data;
  EXPECT_EQ(ServoWrite(&data, false), 15);
  EXPECT_EQ(readMaster(15), "00000000000000D");
}

TEST_F(ServoTest, FrameCarriesUpperCaseDigitsAndEndsWithD) {
  ASSERT_GE(openPort(), 0);
  UserDataStruct data;
  for (int i = 0; i < 15; ++i) {
    data.bramixData[i] = static_cast<int8_t>(i);
  }
  EXPECT_EQ(ServoWrite(&data, false), 15);
  EXPECT_EQ(readMaster(15), "0123456789ABCDD");
  EXPECT_EQ(data.bramixData[14], 13);
}

TEST_F(ServoTest, ValuesOutsideTheRangeAreMovedToItsNearestEndNeverWrapped) {
  ASSERT_GE(openPort(), 0);
  UserDataStruct data;
  data.bramixData[0] = -1;
  data.bramixData[1] = 16;
  data.bramixData[2] = -128;
  data.bramixData[3] = 127;
  data.bramixData[14] = 99;
  ServoWrite(&data, false);
  EXPECT_EQ(readMaster(15), "0F0F" "0000000000" "D");
}

TEST_F(ServoTest, TestModeSendsTheFixedFrameRawAndLeavesDataAlone) {
  ASSERT_GE(openPort(), 0);
  UserDataStruct data;
  data.bramixData[14] = 7;
  testing::internal::CaptureStderr();
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ServoWrite(&data, true), 15);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "\nSERVO Test: ,0x0,0x41,0x41,0x0,0x38,0x0,0x0,0x0,0x0,0x0,0x0,0x0,0x0,0x0,0xd"
            "\nSERVO Test OK\n");
  EXPECT_GE(elapsed, std::chrono::milliseconds(150));
  EXPECT_EQ(readMaster(15), std::string("\x00\x41\x41\x00\x38\0\0\0\0\0\0\0\0\0\x0D", 15));
  EXPECT_EQ(data.bramixData[14], 7);
}

TEST_F(ServoTest, OpenFailureNamesThePortAndTheError) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(ServoOpen(std::make_shared<SerialWrapperLinux>(), "/nonexistent/serial0"), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "\nServo: open_port: Unable to open /nonexistent/serial0 - : "
            "No such file or directory\n");
}

TEST_F(ServoTest, CloseMakesThePortOpenableAgain) {
  ASSERT_GE(openPort(), 0);
  EXPECT_EQ(ServoClose(), 0);
  EXPECT_GE(openPort(), 0);
}

// Also: the receiver is switched off, which a pseudo-terminal does not allow.
TEST(ServoWriteTest, ShortFrameIsReportedOnceWithTheCount) {
  auto port = std::make_shared<NiceMock<MockSerialFunctions>>();
  ON_CALL(*port, _open(_, _)).WillByDefault(Return(11));
  const auto receiverOff = testing::Truly([](tcflag_t flags) { return (flags & CREAD) == 0; });
  EXPECT_CALL(*port, _tcsetattr(11, TCSANOW, testing::Pointee(testing::Field(&termios::c_cflag, receiverOff))));
  EXPECT_CALL(*port, _tcflush(11, TCIFLUSH));
  ASSERT_EQ(ServoOpen(port, "/dev/ttyFAKE"), 11);
  EXPECT_CALL(*port, _write(11, _, 1))
      .WillOnce(Return(1))
      .WillOnce(Return(-1))
      .WillRepeatedly(Return(1));
  UserDataStruct data;
  testing::internal::CaptureStderr();
  EXPECT_EQ(ServoWrite(&data, false), 13);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_THAT(err, StartsWith("\nServo: Unable to write\n"));
  EXPECT_EQ(err.find("Unable"), err.rfind("Unable"));
  ServoClose();
}

TEST(ServoWriteTest, DigitRuleCoversAllSixteenNibbles) {
  std::string digits;
  for (unsigned char c = 0; c < 16; ++c) {
    digits += static_cast<char>(hex2asc(c));
  }
  EXPECT_EQ(digits, "0123456789ABCDEF");
  EXPECT_THROW(ServoOpen(nullptr, "/dev/serial0"), std::invalid_argument);
}

}  // namespace
