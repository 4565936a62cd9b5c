// The stream server's sockets (the listening one, the options of each
// client's) and the system-call seam.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>

#include <string>

#include "StreamWrapperLinux.h"
#include "log_datalayer.h"
#include "stream.h"

namespace {

const int listenBacklog = 10;
// A peer that answers nothing is given up after 10 s idle and three probes 5 s apart.
const int keepaliveIdleS = 10;
const int keepaliveIntervalS = 5;
const int keepaliveProbes = 3;
// The kernel doubles it for its bookkeeping: room for about two of the
// largest frames, enough for a healthy viewer even over a slow link, yet a
// viewer that takes nothing fills it within a few frames, not megabytes later.
const int clientSendBufferBytes = 96 * 1024;

void setIntOption(IStreamFunctions& sys, int fd, int level, int name, int value) {
  sys._setsockopt(fd, level, name, &value, sizeof(value));
}

// Binds fd to the wanted address; returns the address text for the log line, or null.
const char* bindAddress(IStreamFunctions& sys, int fd, int port, int local, int ipv6) {
  if (ipv6) {
    setIntOption(sys, fd, IPPROTO_IPV6, IPV6_V6ONLY, 0);
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

IStreamFunctions& stream_linux_functions() {
  // Never destroyed: a host's dispatcher thread may still stream while it ends.
  static auto* functions = new StreamWrapperLinux;
  return *functions;
}

int http_bindsock(IStreamFunctions& sys, int port, int local, int ipv6) {
  int fd = sys._socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
  if (fd < 0) {
    return -1;
  }
  sys._fcntl(fd, F_SETFD, FD_CLOEXEC);
  setIntOption(sys, fd, SOL_SOCKET, SO_REUSEADDR, 1);
  const char* addressText = bindAddress(sys, fd, port, local, ipv6);
  if (addressText == nullptr || sys._listen(fd, listenBacklog) != 0) {
    sys._close(fd);
    return -1;
  }
  log(LOG_INFO, "ZentorMotion(ZM)C::http_bindsock()",
      std::string("listening on ") + addressText + std::to_string(port));
  return fd;
}

void http_prepare_client(IStreamFunctions& sys, int fd) {
  int on = 1;
  sys._ioctl(fd, FIONBIO, &on);
  setIntOption(sys, fd, SOL_SOCKET, SO_KEEPALIVE, 1);
  setIntOption(sys, fd, IPPROTO_TCP, TCP_KEEPIDLE, keepaliveIdleS);
  setIntOption(sys, fd, IPPROTO_TCP, TCP_KEEPINTVL, keepaliveIntervalS);
  setIntOption(sys, fd, IPPROTO_TCP, TCP_KEEPCNT, keepaliveProbes);
  setIntOption(sys, fd, SOL_SOCKET, SO_SNDBUF, clientSendBufferBytes);
}
