#pragma once

#include "ChildProcess.h"

#include <chrono>
#include <string>
#include <vector>

namespace vok_itest {

// A program started by the test with its standard output and standard error
// captured in files of a private temporary folder (removed by the destructor,
// after the process has been killed and reaped).
class StartedProcess : public ChildProcess {
 public:
  // Starts argv[0] (a path) with argv, in workingDirectory when it is not
  // empty. A program that cannot be executed ends with status 127.
  // Throws std::runtime_error when the process cannot be set up.
  explicit StartedProcess(const std::vector<std::string>& argv, const std::string& workingDirectory = "");
  ~StartedProcess() override;

  // Everything written to standard output so far, also by the process's own
  // children (a daemon shares the file).
  std::string output() const;
  // Everything written to standard error so far.
  std::string errors() const;
  // Waits up to timeout until standard output contains text.
  bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout) const;

 private:
  StartedProcess(const std::vector<std::string>& argv, const std::string& workingDirectory, std::string folder);
  std::string folder;
};

// Reads a whole file; empty when it does not exist.
std::string readFile(const std::string& path);

}  // namespace vok_itest
