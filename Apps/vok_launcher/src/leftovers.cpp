#include "leftovers.h"

#include "FileLock.h"
#include "SharedMemoryWrapperLinux.h"
#include "launcherLog.h"
#include "procScan.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <memory>

namespace {

// Unlinks name when its owner is gone: its lock can be taken on the object the name still refers to.
bool removeIfOwnerIsGone(const std::shared_ptr<VOK::ISharedMemory>& functions, const std::string& name) {
  const int fd = functions->_shm_open(name.c_str(), O_RDONLY, 0);
  if (fd == -1) {
    return false;
  }
  bool gone = false;
  {
    VOK::FileLock lock(functions, fd);
    gone = lock.heldOnNamedFile();
    if (gone) {
      functions->_shm_unlink(name.c_str());
    }
  }
  functions->_close(fd);
  return gone;
}

}  // namespace

void Leftovers::learnNamesOf(pid_t pid) {
  std::set<std::string> names = sharedMemoryNamesOpenedBy(pid);
  sharedMemoryNames.insert(names.begin(), names.end());
}

void Leftovers::brokerRanAs(pid_t pid) { brokerPids.insert(pid); }

void Leftovers::remove() {
  for (pid_t pid : brokerPids) {
    const std::string path = "/tmp/sock_" + std::to_string(pid) + ".uds";
    if (::unlink(path.c_str()) == 0) {
      launcherLog(LOG_INFO, "Removed the socket file " + path);
    }
  }
  auto functions = std::make_shared<VOK::SharedMemoryWrapperLinux>();
  for (const std::string& name : sharedMemoryNames) {
    if (removeIfOwnerIsGone(functions, name)) {
      launcherLog(LOG_INFO, "Removed the shared-memory name " + name + " of an owner that is gone");
    }
  }
  brokerPids.clear();
  sharedMemoryNames.clear();
}
