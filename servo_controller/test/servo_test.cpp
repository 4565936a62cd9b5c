#include "servo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "MockSerialFunctions.h"
#include "PseudoTerminal.h"
#include "SerialWrapperLinux.h"
#include "UserDataStruct.h"

using testing::_;
using testing::Return;

namespace {

// The servo link over a real pseudo-terminal, opened by its path.
class ServoTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(line.path.empty()); }
  void TearDown() override { ServoClose(); }
  int openPort() { return ServoOpen(std::make_shared<SerialWrapperLinux>(), line.path); }

  PseudoTerminal line;
};

TEST_F(ServoTest, OpenSetsNineThousandSixHundredBaudEightNoParityOneStopOnARawLine) {
  // As a terminal usually starts: echo, canonical input, XON/XOFF, output processing.
  termios cooked{};
  ASSERT_EQ(tcgetattr(line.slave, &cooked), 0);
  cooked.c_iflag |= IXON | IXOFF | IXANY | ICRNL;
  cooked.c_oflag |= OPOST | ONLCR;
  cooked.c_lflag |= ECHO | ICANON | ISIG | IEXTEN;
  ASSERT_EQ(tcsetattr(line.slave, TCSANOW, &cooked), 0);
  ASSERT_GE(openPort(), 0);
  termios t{};
  ASSERT_EQ(tcgetattr(line.slave, &t), 0);
  EXPECT_EQ(cfgetospeed(&t), B9600);
  EXPECT_EQ(cfgetispeed(&t), B9600);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (CSTOPB | PARENB), 0u);
  EXPECT_EQ(t.c_cflag & CLOCAL, static_cast<tcflag_t>(CLOCAL));
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | ICRNL), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
}

// Fourteen channels as upper-case digits, values outside 0..15 moved to the
// nearest end (never wrapped), then the end mark D, also into the record.
TEST_F(ServoTest, OnePortAtATimeCarriesFramesOfClampedUpperCaseDigitsEndingInD) {
  ASSERT_GE(openPort(), 0);
  EXPECT_EQ(openPort(), -1) << "a second open must fail and keep the first port";
  const struct {
    std::vector<int> channels;
    std::string frame;
  } rows[] = {{{}, "00000000000000D"},
              {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, "0123456789ABCDD"},
              {{14, 15, -1, 16, -128, 127}, "EF0F0F00000000D"}};
  for (const auto& row : rows) {
    UserDataStruct data;
    for (size_t i = 0; i < row.channels.size(); ++i) {
      data.bramixData[i] = static_cast<int8_t>(row.channels[i]);
    }
    data.bramixData[14] = 99;
    EXPECT_EQ(ServoWrite(&data, false), 15);
    EXPECT_EQ(line.read(15), row.frame);
    EXPECT_EQ(data.bramixData[14], 13);
  }
  EXPECT_EQ(ServoClose(), 0);
  EXPECT_GE(openPort(), 0) << "a closed port opens again";
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
  EXPECT_EQ(line.read(15), std::string("\x00\x41\x41\x00\x38\0\0\0\0\0\0\0\0\0\x0D", 15));
  EXPECT_EQ(data.bramixData[14], 7);
}

TEST(ServoOpenTest, FailureNamesThePortAndTheErrorAndNullFunctionsAreRefused) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(ServoOpen(std::make_shared<SerialWrapperLinux>(), "/nonexistent/serial0"), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "\nServo: open_port: Unable to open /nonexistent/serial0 - : No such file or directory\n");
  EXPECT_THROW(ServoOpen(nullptr, "/dev/serial0"), std::invalid_argument);
}

// Also: the receiver is switched off, which a pseudo-terminal does not allow.
TEST(ServoWriteTest, ShortFrameIsReportedOnceWithTheCount) {
  auto port = std::make_shared<testing::NiceMock<MockSerialFunctions>>();
  ON_CALL(*port, _open(_, _)).WillByDefault(Return(11));
  const auto receiverOff = testing::Truly([](tcflag_t flags) { return (flags & CREAD) == 0; });
  EXPECT_CALL(*port, _tcsetattr(11, TCSANOW, testing::Pointee(testing::Field(&termios::c_cflag, receiverOff))));
  EXPECT_CALL(*port, _tcflush(11, TCIFLUSH));
  ASSERT_EQ(ServoOpen(port, "/dev/ttyFAKE"), 11);
  EXPECT_CALL(*port, _write(11, _, 1)).WillOnce(Return(1)).WillOnce(Return(-1)).WillRepeatedly(Return(1));
  UserDataStruct data;
  testing::internal::CaptureStderr();
  EXPECT_EQ(ServoWrite(&data, false), 13);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_THAT(err, testing::StartsWith("\nServo: Unable to write\n"));
  EXPECT_EQ(err.find("Unable"), err.rfind("Unable"));
  ServoClose();
}

}  // namespace
