#include "lastWordGuardian.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "VOKException.h"

namespace {

// The port is non-blocking: a full output buffer is waited out this many
// times this long, then the guardian gives up.
constexpr int kFullBufferRetries = 50;
constexpr timespec kFullBufferPause{0, 10 * 1000 * 1000};

// The child's whole life, after the fork: async-signal-safe calls only.
[[noreturn]] void guard(int port, int lifeLine, const std::string& frame) {
  ::prctl(PR_SET_NAME, "servo_lastword", 0, 0, 0);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    ::signal(sig, SIG_IGN);
  }
  char byte = 0;
  // Nothing is ever written: read returns 0 once the controller's end closed.
  ssize_t got = 0;
  do {
    got = ::read(lifeLine, &byte, 1);
  } while (got > 0 || (got < 0 && errno == EINTR));
  size_t sent = 0;
  for (int tries = 0; sent < frame.size() && tries < kFullBufferRetries; ++tries) {
    const ssize_t written = ::write(port, frame.data() + sent, frame.size() - sent);
    if (written > 0) {
      sent += static_cast<size_t>(written);
    } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
      break;
    } else {
      ::nanosleep(&kFullBufferPause, nullptr);
    }
  }
  ::_exit(sent == frame.size() ? 0 : 1);
}

[[noreturn]] void fail(const char* call) {
  throw VOK::VOKException(std::string("last-word guardian: ") + call + ": " + std::strerror(errno));
}

}  // namespace

LastWordGuardian::LastWordGuardian(std::shared_ptr<IGuardianFunctions> functions, int port, std::string frame)
    : functions(std::move(functions)) {
  if (!this->functions) {
    throw std::invalid_argument("LastWordGuardian: functions must not be null");
  }
  int ends[2];
  // Close-on-exec: a program the controller ever starts must not hold the
  // guardian off.
  if (this->functions->_pipe2(ends, O_CLOEXEC) != 0) {
    fail("pipe");
  }
  child = this->functions->_fork();
  if (child == 0) {
    ::close(ends[1]);
    guard(port, ends[0], frame);
  }
  const int cause = errno;
  this->functions->_close(ends[0]);
  if (child < 0) {
    this->functions->_close(ends[1]);
    errno = cause;
    fail("fork");
  }
  lifeLine = ends[1];
}

LastWordGuardian::~LastWordGuardian() {
  functions->_close(lifeLine);
  int status = 0;
  while (functions->_waitpid(child, &status, 0) == -1 && errno == EINTR) {
  }
}
