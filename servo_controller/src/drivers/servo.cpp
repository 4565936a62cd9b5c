#include "servo.h"

#include <fcntl.h>

#include <cstdio>
#include <stdexcept>

#include "SerialWrapperLinux.h"
#include "Sleep.h"
#include "UserDataStruct.h"
#include "channelRange.h"

namespace {

constexpr int kFrameLength = 15;
constexpr int kLastChannel = kFrameLength - 1;
constexpr int8_t kEndMark = 13;
constexpr unsigned kTestPauseMs = 150;
const unsigned char kTestFrame[kFrameLength] = {0x00, 0x41, 0x41, 0x00, 0x38, 0x00, 0x00, 0x00,
                                                0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0D};

std::shared_ptr<ISerialFunctions> sys = std::make_shared<SerialWrapperLinux>();
std::string device = "/dev/serial0";
int sfd = -1;

// 9600 baud, 8 data bits, no parity, one stop bit, modem lines ignored, and
// transmit-only raw: the line carries the frames and nothing else. As the
// tty had it, an XOFF byte on the receive pin (noise on an open input is
// enough) would stop every frame, the neutral ones too, and any byte
// received would be echoed into the frames; so no flow control, no echo, no
// canonical or signal input, no output processing, and the receiver off.
void applyLineSettings(termios& settings) {
  cfsetispeed(&settings, B9600);
  cfsetospeed(&settings, B9600);
  settings.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                        IXANY | IMAXBEL);
  settings.c_oflag &= ~OPOST;
  settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  settings.c_cflag &= ~(CSIZE | CSTOPB | PARENB | CREAD);
  settings.c_cflag |= CS8 | CLOCAL;
}

// One write per byte, so that a full driver buffer shows as a short count.
int writeBytes(const unsigned char* bytes, int count, bool echo) {
  int sum = 0;
  for (int i = 0; i < count; ++i) {
    sum += static_cast<int>(sys->_write(sfd, &bytes[i], 1));
    if (echo) {
      fprintf(stderr, ",0x%x", bytes[i]);
    }
  }
  return sum;
}

}  // namespace

void ServoUseDevice(std::shared_ptr<ISerialFunctions> functions, const std::string& path) {
  if (!functions) {
    throw std::invalid_argument("ServoUseDevice: functions must not be null");
  }
  sys = std::move(functions);
  device = path;
}

int ServoOpen() {
  // Descriptor 0 is a valid port too (a daemon may have closed stdin).
  if (sfd >= 0) {
    return -1;
  }
  sfd = sys->_open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (sfd == -1) {
    perror(("\nServo: open_port: Unable to open " + device + " - ").c_str());
    return -1;
  }
  termios settings{};
  sys->_tcgetattr(sfd, &settings);
  applyLineSettings(settings);
  sys->_tcsetattr(sfd, TCSANOW, &settings);
  // What came in before the receiver was off is dropped too (a driver that
  // keeps its receiver on, such as a pseudo-terminal, is never read).
  sys->_tcflush(sfd, TCIFLUSH);
  return sfd;
}

int ServoWrite(UserDataStruct* data, bool test) {
  if (test) {
    return ServoTest();
  }
  data->bramixData[kLastChannel] = kEndMark;
  const std::string frame = ServoFrame(*data);
  int sum = writeBytes(reinterpret_cast<const unsigned char*>(frame.data()), kFrameLength, false);
  if (sum != kFrameLength) {
    perror("\nServo: Unable to write\n");
  }
  return sum;
}

std::string ServoFrame(const UserDataStruct& data) {
  std::string frame(kFrameLength, '\0');
  for (int i = 0; i < kLastChannel; ++i) {
    frame[i] = static_cast<char>(hex2asc(channelInRange(data.bramixData[i])));
  }
  frame[kLastChannel] = static_cast<char>(hex2asc(kEndMark));
  return frame;
}

int ServoTest() {
  fprintf(stderr, "\nSERVO Test: ");
  int sum = writeBytes(kTestFrame, kFrameLength, true);
  if (sum == kFrameLength) {
    fprintf(stderr, "\nSERVO Test OK\n");
  } else {
    perror("\nSERVO Test: Unable to write\n");
  }
  sleepResuming(kTestPauseMs);
  return sum;
}

int ServoClose() {
  int result = sys->_close(sfd);
  sfd = -1;
  return result;
}

unsigned char hex2asc(unsigned char c) {
  return static_cast<unsigned char>(c + 48 < 58 ? c + 48 : c + 55);
}
