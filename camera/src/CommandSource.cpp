#include "CommandSource.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "VOKException.h"
#include "log_datalayer.h"

namespace camera {

namespace {
const char kComponent[] = "camera/src/CommandSource";
const uint64_t kFirstBackoffMs = 500;
const uint64_t kLongestBackoffMs = 10000;
const int kStepMs = 100;
const int kEndSteps = 10;
const int kGraceSteps = 20;

[[noreturn]] void fail(const std::string& what, int error) {
  const std::string text = "cannot start the source command: " + what + ": " + std::strerror(error);
  log(LOG_ERROR, kComponent, text);
  throw VOK::VOKException(text);
}

std::string describe(const siginfo_t& info) {
  if (info.si_code == CLD_EXITED) {
    return "exit status " + std::to_string(info.si_status);
  }
  return "signal " + std::to_string(info.si_status);
}
}  // namespace

CommandSource::CommandSource(std::shared_ptr<ISourceFunctions> calls, std::string command,
                             std::function<uint64_t()> now)
    : calls(std::move(calls)), command(std::move(command)), now(std::move(now)) {
  if (!this->calls || !this->now) {
    throw VOK::VOKException("CommandSource: the system calls and the clock must not be null");
  }
}

CommandSource::~CommandSource() {
  if (child > 0) {
    stop(false);
  }
}

FrameSource::Result CommandSource::read(std::vector<uint8_t>& buffer, int timeoutMs) {
  if (child <= 0) {
    const uint64_t at = now();
    if (at < dueUs) {
      const auto waitMs = static_cast<int>(std::min<uint64_t>(timeoutMs, (dueUs - at + 999) / 1000));
      calls->_poll(nullptr, 0, waitMs);
      return Result::Nothing;
    }
    start();
  }
  const Result result = readDescriptor(*calls, output, buffer, timeoutMs);
  if (result == Result::Ended) {
    const std::string how = stop(true);
    const uint64_t ranMs = (now() - startedUs) / 1000;
    backoffMs = ranMs >= kLongestBackoffMs || backoffMs == 0 ? kFirstBackoffMs
                                                            : std::min(backoffMs * 2, kLongestBackoffMs);
    dueUs = now() + backoffMs * 1000;
    log(LOG_INFO, kComponent,
        "the source command ended (" + how + "); starting it again in " +
            std::to_string(backoffMs) + " ms");
  }
  return result;
}

void CommandSource::start() {
  int fds[2];
  if (calls->_pipe2(fds, O_CLOEXEC) != 0) {
    fail("pipe2", errno);
  }
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawnattr_init(&attributes);
  // A group of its own: a terminal's Ctrl-C reaches the camera only, which
  // then stops the whole pipeline. The camera ignores SIGPIPE; the source
  // gets it back, so that a pipeline ends as usual when its reader goes.
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setpgroup(&attributes, 0);
  char* const argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>("-c"), command.data(), nullptr};
  const int error = calls->_posix_spawn(&child, argv[0], &actions, &attributes, argv);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  calls->_close(fds[1]);
  if (error != 0) {
    child = -1;
    calls->_close(fds[0]);
    fail("posix_spawn", error);
  }
  output = fds[0];
  startedUs = now();
  log(LOG_INFO, kComponent, "started the source command (pid " + std::to_string(child) + "): " + command);
}

std::string CommandSource::stop(bool streamEnded) {
  calls->_close(output);
  output = -1;
  if (streamEnded) {
    endsWithin(kEndSteps);
  }
  // Also whatever an ended leader left behind in its group.
  calls->_kill(-child, SIGTERM);
  if (!endsWithin(kGraceSteps)) {
    calls->_kill(-child, SIGKILL);
  }
  siginfo_t info{};
  while (calls->_waitid(P_PID, static_cast<id_t>(child), &info, WEXITED) != 0 && errno == EINTR) {
  }
  child = -1;
  return describe(info);
}

bool CommandSource::endsWithin(int steps) {
  for (int step = 0; step <= steps; ++step) {
    siginfo_t info{};
    if (calls->_waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid != 0) {
      return true;
    }
    if (step < steps) {
      calls->_poll(nullptr, 0, kStepMs);
    }
  }
  return false;
}

}  // namespace camera
