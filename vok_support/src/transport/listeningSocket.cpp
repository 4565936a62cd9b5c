#include "listeningSocket.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Set in the socket table's flags column for a socket that called listen().
constexpr unsigned long kAcceptingConnections = 0x10000;

bool isSocketFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

// The bound path of one line of /proc/net/unix ("Num RefCount Protocol Flags
// Type St Inode [Path]") when that socket listens; empty otherwise.
std::string listeningPathOf(const std::string& line) {
  std::istringstream fields(line);
  std::string number, references, protocol, flags, type, state, inode, boundPath;
  if (!(fields >> number >> references >> protocol >> flags >> type >> state >> inode >> boundPath)) {
    return {};
  }
  return (std::strtoul(flags.c_str(), nullptr, 16) & kAcceptingConnections) != 0 ? boundPath : std::string();
}

}  // namespace

ListeningSockets::ListeningSockets() {
  std::ifstream table("/proc/net/unix");
  tableRead = static_cast<bool>(table);
  std::string line;
  std::getline(table, line);  // the column titles
  while (std::getline(table, line)) {
    const std::string path = listeningPathOf(line);
    if (!path.empty()) {
      listeningPaths.insert(path);
    }
  }
}

bool ListeningSockets::at(const std::string& path) const {
  if (!isSocketFile(path)) {
    return false;
  }
  return !tableRead || listeningPaths.count(path) != 0;
}
