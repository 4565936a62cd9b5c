#include "ringOwner.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

// The user a live process runs as: the owner of its /proc entry.
bool processOwner(int pid, uid_t& owner) {
  struct stat status {};
  if (pid <= 0 || ::stat(("/proc/" + std::to_string(pid)).c_str(), &status) != 0) {
    return false;
  }
  owner = status.st_uid;
  return true;
}

}  // namespace

bool ringOwnerTrusted(uid_t owner, int providerPid) {
  uid_t provider = 0;
  return owner == 0 || owner == ::geteuid() || (processOwner(providerPid, provider) && owner == provider);
}
