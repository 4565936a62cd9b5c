#pragma once

#include "ChildProcess.h"
#include "StartedProcess.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vok_itest {

// A real VOK_App started as a user starts it: the command returns at once and
// the broker lives on in its forked child, which this object adopts (the test
// process becomes a subreaper) and tracks by pid. The destructor kills the
// broker if it still runs and removes its socket file.
class BrokerProcess {
 public:
  // Runs program (the VOK_App path) with arguments in workingDirectory (empty:
  // inherited), started through the command prefix launcher when one is given
  // (such as "ip netns exec NAME", which execs it), waits up to startTimeout
  // for the command to return and finds its daemon child by program's name.
  // Throws std::runtime_error when the command does not return in time or
  // leaves no child.
  BrokerProcess(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& workingDirectory = "",
                std::chrono::milliseconds startTimeout = std::chrono::seconds(10),
                const std::vector<std::string>& launcher = {});
  ~BrokerProcess();
  BrokerProcess(const BrokerProcess&) = delete;
  BrokerProcess& operator=(const BrokerProcess&) = delete;

  // Exit status of the command the user typed (0 once it went into the background).
  int commandStatus() const { return foregroundStatus; }
  // How long the command took to return.
  std::chrono::milliseconds commandDuration() const { return foregroundDuration; }
  // The daemonised broker's pid.
  pid_t pid() const { return daemon->pid(); }
  // "/tmp/sock_<pid>.uds" of the daemonised broker.
  std::string socketPath() const;
  // Waits up to timeout for the socket file to exist.
  bool waitForSocketFile(std::chrono::milliseconds timeout) const;
  // Waits up to timeout until the broker's standard output contains text.
  bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout) const;
  // Sends SIGINT and waits up to timeout: the exit status, or nullopt.
  std::optional<int> interrupt(std::chrono::milliseconds timeout);
  // Sends sig to the daemonised broker while it is unreaped.
  void sendSignal(int sig);
  // Waits up to timeout for the broker to end: the exit status, or nullopt.
  std::optional<int> waitForExit(std::chrono::milliseconds timeout);
  // Everything the command and the broker wrote to standard output.
  std::string output() const { return command->output(); }
  // Everything they wrote to standard error.
  std::string errors() const { return command->errors(); }

 private:
  std::unique_ptr<StartedProcess> command;
  std::unique_ptr<ChildProcess> daemon;
  int foregroundStatus = -1;
  std::chrono::milliseconds foregroundDuration{0};
};

// An orphan named comm (as /proc shows it, at most 15 bytes) that this
// process adopted as subreaper and does not track yet, waited for up to
// timeout; 0 when none came.
pid_t adoptedChild(const std::string& comm, std::chrono::milliseconds timeout);

// "/tmp/sock_<pid>.uds": the socket file of the broker with this pid.
std::string socketPathOf(pid_t pid);

// Whether a file (of any kind) exists at path.
bool fileExists(const std::string& path);

// Removes the named POSIX shared-memory objects at construction (stale ones
// of an earlier run) and when it goes out of scope, also when a test fails.
class ShmLeftovers {
 public:
  // Names as given to shm_open ("/name" or "name").
  explicit ShmLeftovers(std::vector<std::string> names);
  ~ShmLeftovers();
  ShmLeftovers(const ShmLeftovers&) = delete;
  ShmLeftovers& operator=(const ShmLeftovers&) = delete;

 private:
  std::vector<std::string> names;
};

}  // namespace vok_itest
