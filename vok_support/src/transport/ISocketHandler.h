#pragma once

#include <string>

// The status values of the transport's calls; their numbers are part of the interface.
namespace SocketStatus {
// The call did what it was asked.
constexpr int kDone = 0;
// sendString: the socket would block; nothing was sent.
constexpr int kWouldBlock = 11;
// uxserverAccept: no connection was pending.
constexpr int kNothingAccepted = -11;
}  // namespace SocketStatus

// The string transport over one stream socket, as the connection and the
// broker use it. Every "nothing happened" outcome has already cost one 10 ms
// pause when a call returns; callers own the retry loops.
class ISocketHandler {
 public:
  virtual ~ISocketHandler() = default;
  // IPv4 variant, not supported: always throws VOK::VOKException.
  virtual int serverWaitForConnection() = 0;
  // IPv4 variant, not supported: always throws VOK::VOKException.
  virtual int clientConnectToServer(std::string address, unsigned short port) = 0;
  // Connects to the broker's socket file; index 0 keeps the path, any other
  // index looks the broker up again. Returns the descriptor or -errno;
  // -EACCES when the broker there runs as neither this process's user nor
  // root, which is then left out and the path set to the next broker.
  // Throws VOK::VOKException when called on a server.
  virtual int uxclientConnectToServer(unsigned index) = 0;
  // IPv4 variant, not supported: always throws VOK::VOKException.
  virtual int setupServerSocket(unsigned short port) = 0;
  // One non-blocking receive of at most 1024 bytes into out: kDone when a
  // piece arrived, otherwise errno after a 10 ms pause (out untouched).
  // Throws VOK::VOKException for a descriptor below 1.
  virtual int recvString(int fd, std::string& out) = 0;
  // One non-blocking send of all bytes of text: kDone when handed over,
  // kWouldBlock when the socket would block. Throws VOK::VOKException on any other failure.
  virtual int sendString(std::string text, int fd) = 0;
  // Starts listening (backlog 10); kDone. Throws VOK::VOKException on a client or on failure.
  virtual int serverListen() = 0;
  // One non-blocking accept: the new descriptor, or kNothingAccepted after a 10 ms pause.
  virtual int uxserverAccept() = 0;
  // Binds the socket file (replacing a stale one that nobody listens on) and
  // makes this the listening end; kDone. Throws VOK::VOKException.
  virtual int uxsetupServerSocket() = 0;
};
