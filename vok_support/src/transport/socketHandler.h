#pragma once

#include "ISocketHandler.h"
#include "ISocketHandlerFunctions.h"

#include <sys/un.h>

#include <memory>
#include <set>
#include <string>

// The local stream socket of one end of the broker conversation. The broker
// turns its handler into the listening end and removes the socket file when
// the handler is destroyed; an app's handler connects and leaves its
// descriptor open for the life of the process.
class SocketHandler : public ISocketHandler {
 public:
  // Creates an AF_UNIX stream socket and derives the socket file path from
  // getServerPID(index). Throws std::invalid_argument for a null layer and
  // VOK::VOKException (strerror text) when the socket cannot be created.
  SocketHandler(std::shared_ptr<ISocketHandlerFunctions> functions, unsigned index);
  // Server: closes the socket and removes the socket file it bound.
  // Client: leaves the descriptor open.
  ~SocketHandler() override;
  SocketHandler(const SocketHandler&) = delete;
  SocketHandler& operator=(const SocketHandler&) = delete;

  int serverWaitForConnection() override;
  int clientConnectToServer(std::string address, unsigned short port) override;
  int uxclientConnectToServer(unsigned index) override;
  int setupServerSocket(unsigned short port) override;
  int recvString(int fd, std::string& out) override;
  int sendString(std::string text, int fd) override;
  int serverListen() override;
  int uxserverAccept() override;
  int uxsetupServerSocket() override;

  // The broker to talk to (see reachableBrokers), without those in refused:
  // the entry at index, the first one when that one is empty; 0 when
  // index > 63 or no broker can be reached.
  static int getServerPID(unsigned index, const std::set<int>& refused = {});
  // Points the socket file path at the broker with this pid: "/tmp/sock_<pid>.uds".
  void setUDS(int pid);
  // The current socket file path.
  std::string getSocketPath() const;
  // The handler's own descriptor: the listening socket, or the app's connection.
  int getSocketFd() const;

 private:
  void openSocket();
  // Drops the connection to a broker that is not trusted and points the path
  // at the next candidate, on a fresh socket.
  void turnAwayFromBroker(unsigned index);
  void setSocketOption(int name, int value, const std::string& component, const std::string& label);
  // Binds the socket file; a file of this path that nobody listens on is
  // removed and bound again. False with errno set when it stays unbound.
  bool bindSocketFile();
  // Whether connecting to the socket file is refused, i.e. nobody listens on it.
  bool socketFileIsStale();
  void failSetup(const std::string& component, const std::string& label);
  int sendRemainder(const char* buffer, unsigned length, int fd, const std::string& component);

  std::shared_ptr<ISocketHandlerFunctions> socketFunctions;
  int socketFd = 0;
  char socketPath[32] = {};
  // The broker that socketPath names.
  int serverPid = 0;
  // Brokers this app connected to and would not talk to, left out from then on.
  std::set<int> refusedBrokers;
  sockaddr_un serverAddress = {};
  sockaddr_un clientAddress = {};
  bool isServer = false;
  // Set once bind succeeded: only then is the socket file ours to remove.
  bool ownsSocketFile = false;
};
