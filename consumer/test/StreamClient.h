#pragma once

#include <string>

// A browser stand-in: a TCP client of the stream server on 127.0.0.1.
class StreamClient {
 public:
  // Connects to 127.0.0.1:port; receiveBuffer > 0 shrinks SO_RCVBUF first.
  explicit StreamClient(int port, int receiveBuffer = 0);
  ~StreamClient();
  StreamClient(const StreamClient&) = delete;
  StreamClient& operator=(const StreamClient&) = delete;

  // Reads until count bytes have arrived or timeoutMs passed; returns what arrived.
  std::string read(size_t count, int timeoutMs = 2000);
  // Reads until the server closes the connection or timeoutMs passed.
  std::string readToEnd(int timeoutMs);
  // True when the server closed the connection (EOF or reset) within timeoutMs.
  bool closedByServer(int timeoutMs);
  // Sends text as a browser sends its request; false when not all of it went.
  bool send(const std::string& text);
  // Whether any byte arrives within timeoutMs (the byte is consumed).
  bool anythingWithin(int timeoutMs);
  // Closes the connection now.
  void close();

 private:
  // Reads until count bytes arrived, timeoutMs passed or the server closed
  // (closed says which).
  std::string receive(size_t count, int timeoutMs, bool& closed);
  int fd;
};

// The port a listening socket is bound to.
int boundPort(int listenFd);
