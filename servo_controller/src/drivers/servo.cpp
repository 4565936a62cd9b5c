#include "servo.h"

#include <cstdio>

#include "SerialPort.h"
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

// The one open port; null while closed.
std::unique_ptr<SerialPort> port;

int writeBytes(const unsigned char* bytes, int count, bool echo) {
  return port ? port->writeBytes(bytes, count, echo) : 0;
}

}  // namespace

int ServoOpen(std::shared_ptr<ISerialFunctions> functions, const std::string& path) {
  if (port) {
    return -1;
  }
  auto opened = std::make_unique<SerialPort>(std::move(functions), path);
  if (!opened->isOpen()) {
    return -1;
  }
  port = std::move(opened);
  return port->descriptor();
}

int ServoOpen() { return ServoOpen(std::make_shared<SerialWrapperLinux>(), "/dev/serial0"); }

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

int ServoQueued() { return port ? port->queuedBytes() : 0; }

int ServoClose() {
  if (!port) {
    return -1;
  }
  const int result = port->close();
  port.reset();
  return result;
}

unsigned char hex2asc(unsigned char c) { return static_cast<unsigned char>(c + 48 < 58 ? c + 48 : c + 55); }
