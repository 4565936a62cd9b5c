#include "AppAdmission.h"

#include "log_datalayer.h"
#include "peerCredentials.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace broker {

namespace {
const std::string kComponent = "VOK_App/src/AppAdmission";
}  // namespace

AppAdmission::AppAdmission(std::shared_ptr<ISocketHandlerFunctions> functions, uid_t brokerUid,
                           gid_t brokerGid)
    : functions(std::move(functions)), brokerUid(brokerUid), brokerGid(brokerGid) {
  if (!this->functions) {
    throw std::invalid_argument("Error: AppAdmission: SocketWrapperLinux must not be null");
  }
}

bool AppAdmission::admit(int fd) {
  PeerCredentials peer;
  if (!readPeerCredentials(*functions, fd, peer)) {
    refuse(fd, std::string("cannot tell who connected - error: ") + std::strerror(errno));
    return false;
  }
  if (peer.uid == brokerUid || peer.uid == 0 || inBrokerGroup(fd, peer.gid)) {
    return true;
  }
  refuse(fd, "pid " + std::to_string(peer.pid) + " runs as uid " + std::to_string(peer.uid) +
                 ", neither the broker's user nor root nor in its group " + std::to_string(brokerGid));
  return false;
}

bool AppAdmission::inBrokerGroup(int fd, gid_t primary) {
  if (primary == brokerGid) {
    return true;
  }
  std::vector<gid_t> groups;
  return readPeerGroups(*functions, fd, groups) &&
         std::find(groups.begin(), groups.end(), brokerGid) != groups.end();
}

void AppAdmission::refuse(int fd, const std::string& reason) {
  functions->_close(fd);
  log(LOG_ERROR, kComponent, "Refused the connection <" + std::to_string(fd) + ">: " + reason);
}

}  // namespace broker
