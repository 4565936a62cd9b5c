// The listening socket of the stream server and the system-call seam.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>

#include <stdexcept>
#include <string>
#include <utility>

#include "StreamWrapperLinux.h"
#include "log_datalayer.h"
#include "stream.h"

namespace {

// Never destroyed: a host's dispatcher thread may still stream while it ends.
std::shared_ptr<IStreamFunctions>& functionsSlot() {
  static auto* functions =
      new std::shared_ptr<IStreamFunctions>(std::make_shared<StreamWrapperLinux>());
  return *functions;
}

const int listenBacklog = 10;

// Binds fd to the wanted address; returns the address text for the log line, or null.
const char* bindAddress(IStreamFunctions& sys, int fd, int port, int local, int ipv6) {
  if (ipv6) {
    int off = 0;
    sys._setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof(off));
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_port = htons(static_cast<uint16_t>(port));
    address.sin6_addr = local ? in6addr_loopback : in6addr_any;
    if (sys._bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
      return nullptr;
    }
    return local ? "::1" : "any IPv4/IPv6 address";
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(local ? INADDR_LOOPBACK : INADDR_ANY);
  if (sys._bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    return nullptr;
  }
  return local ? "127.0.0.1" : "any IPv4 address";
}

}  // namespace

void stream_use_functions(std::shared_ptr<IStreamFunctions> functions) {
  if (!functions) {
    throw std::invalid_argument("stream_use_functions: functions must not be null");
  }
  functionsSlot() = std::move(functions);
}

IStreamFunctions& stream_functions() { return *functionsSlot(); }

int http_bindsock(int port, int local, int ipv6) {
  IStreamFunctions& sys = stream_functions();
  int fd = sys._socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
  if (fd < 0) {
    return -1;
  }
  sys._fcntl(fd, F_SETFD, FD_CLOEXEC);
  int on = 1;
  sys._setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  const char* addressText = bindAddress(sys, fd, port, local, ipv6);
  if (addressText == nullptr || sys._listen(fd, listenBacklog) != 0) {
    sys._close(fd);
    return -1;
  }
  log(LOG_INFO, "ZentorMotion(ZM)C::http_bindsock()",
      std::string("listening on ") + addressText + std::to_string(port));
  return fd;
}
