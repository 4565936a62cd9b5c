#include "peerCredentials.h"

#include <sys/socket.h>

#include <cerrno>

namespace {
// Enough for any account; the kernel says how many more it needs otherwise.
constexpr unsigned kUsualGroups = 64;
}  // namespace

bool readPeerCredentials(ISocketHandlerFunctions& functions, int fd, PeerCredentials& peer) {
  ucred credentials{};
  unsigned length = sizeof(credentials);
  if (functions._getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) {
    return false;
  }
  peer.pid = credentials.pid;
  peer.uid = credentials.uid;
  peer.gid = credentials.gid;
  return true;
}

bool readPeerGroups(ISocketHandlerFunctions& functions, int fd, std::vector<gid_t>& groups) {
  groups.assign(kUsualGroups, 0);
  unsigned length = static_cast<unsigned>(groups.size() * sizeof(gid_t));
  int result = functions._getsockopt(fd, SOL_SOCKET, SO_PEERGROUPS, groups.data(), &length);
  if (result != 0 && errno == ERANGE) {
    groups.assign(length / sizeof(gid_t), 0);
    result = functions._getsockopt(fd, SOL_SOCKET, SO_PEERGROUPS, groups.data(), &length);
  }
  if (result != 0) {
    groups.clear();
    return false;
  }
  groups.resize(length / sizeof(gid_t));
  return true;
}
