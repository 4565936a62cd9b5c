#include "StartedProcess.h"

#include "EmulatedLaunch.h"
#include "Eventually.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vok_itest {

namespace {

std::string makeFolder() {
  char pattern[] = "/tmp/vok_itest_XXXXXX";
  if (::mkdtemp(pattern) == nullptr) {
    throw std::runtime_error("mkdtemp failed");
  }
  return pattern;
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void runChild(const std::vector<std::string>& argv, const std::string& workingDirectory,
                           const std::string& folder) {
  std::vector<char*> args;
  for (const std::string& a : argv) {
    args.push_back(const_cast<char*>(a.c_str()));
  }
  args.push_back(nullptr);
  const std::string out = folder + "/stdout";
  const std::string err = folder + "/stderr";
  int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  if (outFd < 0 || errFd < 0 || ::dup2(outFd, STDOUT_FILENO) < 0 || ::dup2(errFd, STDERR_FILENO) < 0) {
    ::_exit(126);
  }
  if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0) {
    ::_exit(126);
  }
  ::execv(args[0], args.data());
  ::_exit(127);
}

pid_t startChild(const std::vector<std::string>& argv, const std::string& workingDirectory,
                 const std::string& folder) {
  if (argv.empty()) {
    throw std::runtime_error("StartedProcess: empty argv");
  }
  const std::vector<std::string> command = launchCommand(argv);
  std::fflush(stdout);
  std::fflush(stderr);
  pid_t pid = ::fork();
  if (pid < 0) {
    throw std::runtime_error("fork failed");
  }
  if (pid == 0) {
    runChild(command, workingDirectory, folder);
  }
  return pid;
}

}  // namespace

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

StartedProcess::StartedProcess(const std::vector<std::string>& argv, const std::string& workingDirectory)
    : StartedProcess(argv, workingDirectory, makeFolder()) {}

StartedProcess::StartedProcess(const std::vector<std::string>& argv, const std::string& workingDirectory,
                               std::string outputFolder)
    : ChildProcess(startChild(argv, workingDirectory, outputFolder)), folder(std::move(outputFolder)) {}

StartedProcess::~StartedProcess() {
  if (!hasExited()) {
    sendSignal(SIGKILL);
    waitForExit(std::chrono::seconds(10));
  }
  ::unlink((folder + "/stdout").c_str());
  ::unlink((folder + "/stderr").c_str());
  ::rmdir(folder.c_str());
}

std::string StartedProcess::output() const {
  return readFile(folder + "/stdout");
}

std::string StartedProcess::errors() const {
  return readFile(folder + "/stderr");
}

bool StartedProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout) const {
  return eventually([&] { return output().find(text) != std::string::npos; }, timeout, std::chrono::milliseconds(10));
}

}  // namespace vok_itest
