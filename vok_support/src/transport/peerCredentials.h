#pragma once

#include "ISocketHandlerFunctions.h"

#include <sys/types.h>

#include <vector>

// Who is at the other end of a connected local socket, as the kernel recorded
// it when the connection was made: the connecting process for the listening
// end, the listening process for the connecting end.
struct PeerCredentials {
  pid_t pid = 0;
  uid_t uid = 0;
  gid_t gid = 0;
};

// SO_PEERCRED of fd; false with errno set when the kernel cannot tell.
bool readPeerCredentials(ISocketHandlerFunctions& functions, int fd, PeerCredentials& peer);
// SO_PEERGROUPS of fd, the peer's supplementary groups; false with errno set
// when the kernel cannot tell.
bool readPeerGroups(ISocketHandlerFunctions& functions, int fd, std::vector<gid_t>& groups);
