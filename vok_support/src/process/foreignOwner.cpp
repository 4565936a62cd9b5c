#include "foreignOwner.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

std::string accountName(uid_t uid) {
  std::vector<char> buffer(4096);
  passwd entry{};
  passwd* found = nullptr;
  const bool known = ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr;
  return known ? std::string(" (") + entry.pw_name + ")" : "";
}

}  // namespace

std::string foreignOwnerRefusal(const std::string& what, const std::string& path) {
  struct stat status {};
  const uid_t self = ::geteuid();
  const int callersErrno = errno;
  const bool foreign = ::lstat(path.c_str(), &status) == 0 && status.st_uid != self;
  const std::string owner = foreign ? accountName(status.st_uid) : "";
  errno = callersErrno;
  if (!foreign) {
    return "";
  }
  return what + " " + path + " belongs to uid " + std::to_string(status.st_uid) + owner +
         ", not to this program's user " + std::to_string(self) + "; remove it as that user or root";
}
