#include "StreamServer.h"

#include <stdexcept>

StreamServer::StreamServer(std::shared_ptr<IStreamFunctions> functions, int port, int local, int ipv6,
                           int64_t clientTimeoutUs, int64_t framePeriodUs)
    : functions(std::move(functions)) {
  if (!this->functions) {
    throw std::invalid_argument("StreamServer: functions must not be null");
  }
  record.functions = this->functions.get();
  stream_init(&record, port, local, ipv6, nullptr);
  record.client_timeout_us = clientTimeoutUs;
  record.frame_period_us = framePeriodUs;
}

// Browsers see the stream end instead of a connection that hangs.
StreamServer::~StreamServer() {
  if (isOpen()) {
    stream_stop(&record);
  }
}

void StreamServer::put(const unsigned char* frame, int64_t length, int64_t wallClockUs) {
  if (isOpen()) {
    stream_put(&record, &clients, frame, length, wallClockUs);
  }
}
