#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "StreamClient.h"
#include "StreamWrapperLinux.h"
#include "stream.h"

// Real sockets, but clocks that move only when the test says so: the
// monotonic one reads nowUs, the wall clock the same plus wallOffsetUs, which
// a test may step as NTP does.
class SteppedClock : public StreamWrapperLinux {
 public:
  int _clock_gettime(clockid_t clock, timespec* time) override {
    const int64_t us = nowUs.load() + (clock == CLOCK_MONOTONIC ? 0 : wallOffsetUs.load());
    time->tv_sec = us / 1000000;
    time->tv_nsec = (us % 1000000) * 1000;
    return 0;
  }
  std::atomic<int64_t> nowUs{86400000000};
  std::atomic<int64_t> wallOffsetUs{1700000000000000};
};

// A stream server on an ephemeral loopback port with a stepped clock.
class StreamServerTest : public ::testing::Test {
 protected:
  static constexpr int64_t framePeriodUs = 45453;

  // The record is the server: its substitute system calls come with it.
  void SetUp() override { server.functions = clock.get(); }

  void TearDown() override {
    if (started) {
      stream_stop(&server);
    }
  }

  // Starts listening; origin as for stream_init.
  void start(const char* origin = nullptr) {
    ASSERT_GE(stream_init(&server, 0, 1, 0, origin), 0);
    started = true;
    port = boundPort(server.socket);
  }

  // For tests whose stepped clock runs far ahead of their clients' real
  // reading: no client is closed for taking no bytes.
  void ignoreStalls() { server.client_timeout_us = INT64_MAX; }

  // One stream_put after the clock moved by stepUs.
  void put(const std::string& frame, int64_t stepUs = framePeriodUs + 1) {
    clock->nowUs += stepUs;
    stream_put(&server, &count, reinterpret_cast<const unsigned char*>(frame.data()),
               static_cast<int64_t>(frame.size()));
  }

  // Puts frames until done() holds; false when it did not within about two seconds.
  bool putUntil(const std::string& frame, const std::function<bool()>& done) {
    for (int i = 0; i < 400; ++i) {
      put(frame);
      if (done()) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  std::shared_ptr<SteppedClock> clock = std::make_shared<SteppedClock>();
  stream server{};
  int count = 0;
  int port = 0;
  bool started = false;
};

// The multipart part that a client receives for an image of the given bytes.
inline std::string partFor(const std::string& image) {
  return "--BoundaryString\r\nContent-type: image/jpeg\r\nContent-Length: " +
         std::to_string(image.size()) + "\r\n\r\n" + image + std::string("\r\n\r\n\0", 5);
}

// A small JPEG-like frame: 0xFF 0xD8, a tag byte, 0xFF 0xD9.
inline std::string tinyFrame(char tag) { return std::string("\xFF\xD8", 2) + tag + "\xFF\xD9"; }
