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

// One line of /proc/net/unix: "Num RefCount Protocol Flags Type St Inode [Path]".
bool listensAt(const std::string& line, const std::string& path) {
  std::istringstream fields(line);
  std::string number, references, protocol, flags, type, state, inode, boundPath;
  if (!(fields >> number >> references >> protocol >> flags >> type >> state >> inode >> boundPath)) {
    return false;
  }
  return boundPath == path && (std::strtoul(flags.c_str(), nullptr, 16) & kAcceptingConnections) != 0;
}

}  // namespace

bool isListeningSocketFile(const std::string& path) {
  if (!isSocketFile(path)) {
    return false;
  }
  std::ifstream table("/proc/net/unix");
  if (!table) {
    return true;
  }
  std::string line;
  std::getline(table, line);  // the column titles
  while (std::getline(table, line)) {
    if (listensAt(line, path)) {
      return true;
    }
  }
  return false;
}
