#include "procScan.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

const std::string kShmFolder = "/dev/shm/";
const std::string kUnlinked = " (deleted)";

bool isNumber(const char* text) {
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') {
      return false;
    }
  }
  return *text != '\0';
}

// The numeric entries of a /proc folder.
std::vector<std::string> numericEntries(const std::string& folder) {
  std::vector<std::string> entries;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) {
    return entries;
  }
  while (const dirent* entry = ::readdir(dir.get())) {
    if (isNumber(entry->d_name)) {
      entries.emplace_back(entry->d_name);
    }
  }
  return entries;
}

// Parent and group from /proc/<pid>/stat; the command name in parentheses
// may hold blanks and parentheses, so the fields are read after the last ')'.
bool readParentAndGroup(const std::string& pid, pid_t& parent, pid_t& group) {
  std::ifstream file("/proc/" + pid + "/stat");
  std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) {
    return false;
  }
  std::istringstream fields(stat.substr(close + 1));
  std::string state;
  return static_cast<bool>(fields >> state >> parent >> group);
}

}  // namespace

std::vector<ChildInGroup> childrenOf(pid_t parent) {
  std::vector<ChildInGroup> children;
  for (const std::string& pid : numericEntries("/proc")) {
    pid_t itsParent = 0;
    pid_t group = 0;
    if (readParentAndGroup(pid, itsParent, group) && itsParent == parent) {
      children.push_back({static_cast<pid_t>(std::atoi(pid.c_str())), group});
    }
  }
  return children;
}

std::set<std::string> sharedMemoryNamesOpenedBy(pid_t pid) {
  std::set<std::string> names;
  const std::string folder = "/proc/" + std::to_string(pid) + "/fd/";
  for (const std::string& fd : numericEntries(folder)) {
    char target[512];
    const ssize_t length = ::readlink((folder + fd).c_str(), target, sizeof target - 1);
    if (length <= 0) {
      continue;
    }
    const std::string path(target, static_cast<size_t>(length));
    const bool unlinked = path.size() >= kUnlinked.size() &&
                          path.compare(path.size() - kUnlinked.size(), kUnlinked.size(), kUnlinked) == 0;
    if (path.compare(0, kShmFolder.size(), kShmFolder) == 0 && !unlinked) {
      names.insert("/" + path.substr(kShmFolder.size()));
    }
  }
  return names;
}

std::set<std::string> sharedMemoryNamesWrittenBy(pid_t pid) {
  std::set<std::string> names;
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::string line;
  while (std::getline(maps, line)) {
    std::istringstream fields(line);
    std::string range, permissions, offset, device, inode, path;
    fields >> range >> permissions >> offset >> device >> inode >> path;
    if (permissions == "rw-s" && path.compare(0, kShmFolder.size(), kShmFolder) == 0 &&
        line.find(kUnlinked) == std::string::npos) {
      names.insert("/" + path.substr(kShmFolder.size()));
    }
  }
  return names;
}
