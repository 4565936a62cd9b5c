#include "SerialPort.h"

#include <fcntl.h>

#include <cstdio>
#include <stdexcept>

namespace {

// 9600 baud, 8 data bits, no parity, one stop bit, modem lines ignored, and
// transmit-only raw: the line carries the frames and nothing else. As the
// tty had it, an XOFF byte on the receive pin (noise on an open input is
// enough) would stop every frame, the neutral ones too, and any byte
// received would be echoed into the frames; so no flow control, no echo, no
// canonical or signal input, no output processing, and the receiver off.
void applyLineSettings(termios& settings) {
  cfsetispeed(&settings, B9600);
  cfsetospeed(&settings, B9600);
  settings.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | IMAXBEL);
  settings.c_oflag &= ~OPOST;
  settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  settings.c_cflag &= ~(CSIZE | CSTOPB | PARENB | CREAD);
  settings.c_cflag |= CS8 | CLOCAL;
}

}  // namespace

SerialPort::SerialPort(std::shared_ptr<ISerialFunctions> functions, const std::string& path)
    : sys(std::move(functions)) {
  if (!sys) {
    throw std::invalid_argument("SerialPort: functions must not be null");
  }
  fd = sys->_open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd == -1) {
    perror(("\nServo: open_port: Unable to open " + path + " - ").c_str());
    return;
  }
  termios settings{};
  sys->_tcgetattr(fd, &settings);
  applyLineSettings(settings);
  sys->_tcsetattr(fd, TCSANOW, &settings);
  // What came in before the receiver was off is dropped too (a driver that
  // keeps its receiver on, such as a pseudo-terminal, is never read).
  sys->_tcflush(fd, TCIFLUSH);
}

SerialPort::~SerialPort() { close(); }

int SerialPort::writeBytes(const unsigned char* bytes, int count, bool echo) {
  int sum = 0;
  for (int i = 0; isOpen() && i < count; ++i) {
    sum += static_cast<int>(sys->_write(fd, &bytes[i], 1));
    if (echo) {
      fprintf(stderr, ",0x%x", bytes[i]);
    }
  }
  return sum;
}

int SerialPort::close() {
  if (!isOpen()) {
    return -1;
  }
  const int result = sys->_close(fd);
  fd = -1;
  return result;
}

int SerialPort::queuedBytes() const {
  int queued = 0;
  return isOpen() && sys->_ioctl_outq(fd, &queued) == 0 && queued > 0 ? queued : 0;
}
