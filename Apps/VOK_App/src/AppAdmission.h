#pragma once

#include "ISocketHandlerFunctions.h"

#include <sys/types.h>

#include <memory>
#include <string>

namespace broker {

// Who may sign in to the broker: a process of the broker's own user, root, or
// a member of the broker's group (the group the operator gives the chain).
// Any other local account could otherwise take an app's place or announce a
// ring of its own to the apps.
class AppAdmission {
 public:
  // brokerUid and brokerGid: the broker's effective ids. Throws
  // std::invalid_argument for a null layer.
  AppAdmission(std::shared_ptr<ISocketHandlerFunctions> functions, uid_t brokerUid, gid_t brokerGid);

  // Whether the peer of the accepted connection fd may sign in. When it may
  // not (or the kernel cannot tell who it is), fd is closed and one error
  // line says why.
  bool admit(int fd);

 private:
  bool inBrokerGroup(int fd, gid_t primary);
  void refuse(int fd, const std::string& reason);

  std::shared_ptr<ISocketHandlerFunctions> functions;
  uid_t brokerUid;
  gid_t brokerGid;
};

}  // namespace broker
