#pragma once

#include <cstdint>
#include <memory>

#include "IStreamFunctions.h"
#include "stream.h"

// The MJPEG stream server as an owner: its listening socket is opened when it
// is made, and closed with every client when it is destroyed.
class StreamServer {
 public:
  // Listens on port (local: loopback only; ipv6: dual-stack) through
  // functions, closing a client that takes no bytes for clientTimeoutUs and
  // giving each client at most one frame per framePeriodUs; isOpen() tells
  // whether the socket could be opened. Throws std::invalid_argument when
  // functions is null.
  StreamServer(std::shared_ptr<IStreamFunctions> functions, int port, int local, int ipv6, int64_t clientTimeoutUs,
               int64_t framePeriodUs = stream_default_frame_period_us);
  ~StreamServer();
  StreamServer(const StreamServer&) = delete;
  StreamServer& operator=(const StreamServer&) = delete;

  // Whether the listening socket is open.
  bool isOpen() const { return record.socket >= 0; }
  // stream_put of the frame to the clients, with its X-Timestamp when
  // wallClockUs is not 0; nothing while not open.
  void put(const unsigned char* frame, int64_t length, int64_t wallClockUs = 0);
  // The clients connected at the last put.
  int clientCount() const { return clients; }

 private:
  std::shared_ptr<IStreamFunctions> functions;
  stream record{};
  int clients = 0;
};
