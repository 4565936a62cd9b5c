#include "BrokerProcess.h"

#include "Eventually.h"

#include <dirent.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace vok_itest {

namespace {

// Fields of /proc/<pid>/stat: "pid (comm) state ppid ..."; comm may hold blanks.
bool readStat(pid_t pid, std::string& comm, pid_t& parent) {
  std::string text = readFile("/proc/" + std::to_string(pid) + "/stat");
  size_t open = text.find('(');
  size_t close = text.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close + 4 > text.size()) {
    return false;
  }
  comm = text.substr(open + 1, close - open - 1);
  parent = static_cast<pid_t>(std::atol(text.c_str() + close + 4));
  return true;
}

// The kernel keeps the first 15 bytes of the program's file name as comm.
std::string commOf(const std::string& program) {
  size_t slash = program.rfind('/');
  std::string base = slash == std::string::npos ? program : program.substr(slash + 1);
  return base.substr(0, 15);
}

// An untracked orphan named comm that was reparented to this process.
pid_t findAdoptedChild(const std::string& comm) {
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) {
    return 0;
  }
  pid_t found = 0;
  for (dirent* entry = ::readdir(proc); entry != nullptr && found == 0; entry = ::readdir(proc)) {
    pid_t pid = static_cast<pid_t>(std::atol(entry->d_name));
    std::string name;
    pid_t parent = 0;
    if (pid > 0 && !ChildProcess::isTracked(pid) && readStat(pid, name, parent) && parent == ::getpid() &&
        name == comm) {
      found = pid;
    }
  }
  ::closedir(proc);
  return found;
}

}  // namespace

pid_t adoptedChild(const std::string& comm, std::chrono::milliseconds timeout) {
  pid_t child = 0;
  eventually([&] { return (child = findAdoptedChild(comm)) != 0; }, timeout, std::chrono::milliseconds(5));
  return child;
}

std::string socketPathOf(pid_t pid) {
  return "/tmp/sock_" + std::to_string(pid) + ".uds";
}

bool fileExists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

BrokerProcess::BrokerProcess(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& workingDirectory, std::chrono::milliseconds startTimeout,
                             const std::vector<std::string>& launcher) {
  becomeSubreaper();
  std::vector<std::string> argv = launcher;
  argv.push_back(program);
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  const auto start = std::chrono::steady_clock::now();
  command = std::make_unique<StartedProcess>(argv, workingDirectory);
  std::optional<int> status = command->waitForExit(startTimeout);
  foregroundDuration =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  if (!status) {
    throw std::runtime_error("VOK_App did not return to the shell within the start timeout");
  }
  foregroundStatus = *status;
  // The orphan is reparented while the command exits; give /proc a moment.
  const pid_t child = adoptedChild(commOf(program), std::chrono::seconds(1));
  if (child == 0) {
    throw std::runtime_error("VOK_App left no daemon child; output: " + command->output());
  }
  daemon = std::make_unique<ChildProcess>(child);
}

BrokerProcess::~BrokerProcess() {
  if (daemon) {
    const pid_t brokerPid = daemon->pid();
    daemon.reset();
    ::unlink(socketPathOf(brokerPid).c_str());
  }
}

std::string BrokerProcess::socketPath() const {
  return socketPathOf(daemon->pid());
}

bool BrokerProcess::waitForSocketFile(std::chrono::milliseconds timeout) const {
  return eventually([&] { return fileExists(socketPath()); }, timeout, std::chrono::milliseconds(5));
}

bool BrokerProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout) const {
  return command->waitForOutput(text, timeout);
}

std::optional<int> BrokerProcess::interrupt(std::chrono::milliseconds timeout) {
  daemon->sendSignal(SIGINT);
  return daemon->waitForExit(timeout);
}

void BrokerProcess::sendSignal(int sig) { daemon->sendSignal(sig); }

std::optional<int> BrokerProcess::waitForExit(std::chrono::milliseconds timeout) {
  return daemon->waitForExit(timeout);
}

ShmLeftovers::ShmLeftovers(std::vector<std::string> shmNames) : names(std::move(shmNames)) {
  for (const std::string& name : names) {
    ::shm_unlink(name.c_str());
  }
}

ShmLeftovers::~ShmLeftovers() {
  for (const std::string& name : names) {
    ::shm_unlink(name.c_str());
  }
}

}  // namespace vok_itest
