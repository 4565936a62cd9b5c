#pragma once

#include <set>
#include <string>

// The socket files on which a local stream socket listens, as the kernel's
// socket table listed them when the snapshot was taken. Tells a listening
// broker without connecting (a broker counts every connection it accepts as
// an app).
class ListeningSockets {
 public:
  // Reads /proc/net/unix once.
  ListeningSockets();
  // Whether path names a socket file that listened when the table was read;
  // when the table could not be read, any socket file counts.
  bool at(const std::string& path) const;

 private:
  bool tableRead = false;
  std::set<std::string> listeningPaths;
};
