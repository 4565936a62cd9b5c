// stream_put with 81920-byte frames to 1 and 10 clients on loopback sockets
// that a second thread drains, as browsers would. The clock handed to
// the server moves one frame period per reading, so pacing never holds a
// frame back; a client still busy with one frame skips the next, so the
// benchmark counts the client-frames actually completed and bench/report
// prints ns per client-frame ("stream_put_81920_<n>clients").
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "StreamWrapperLinux.h"
#include "stream.h"

namespace {

const int64_t frameBytes = 81920;

// Real sockets; a clock that moves one frame period per reading; a count of accepts.
class BenchFunctions : public StreamWrapperLinux {
 public:
  int _clock_gettime(clockid_t, timespec* time) override {
    nowUs += 45454;
    time->tv_sec = nowUs / 1000000;
    time->tv_nsec = (nowUs % 1000000) * 1000;
    return 0;
  }
  int _accept(int fd, sockaddr* address, socklen_t* length) override {
    ++accepted;
    return StreamWrapperLinux::_accept(fd, address, length);
  }
  int accepted = 0;

 private:
  int64_t nowUs = 1700000000000000;
};

int connectTo(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  return fd;
}

int boundPort(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

// Reads and discards everything the clients receive until stopped; closes a
// client when the server has closed it.
class Drain {
 public:
  Drain() : worker([this] { run(); }) {}
  ~Drain() {
    stop = true;
    worker.join();
    for (const pollfd& entry : entries) {
      ::close(entry.fd);
    }
  }
  void add(int fd) {
    std::lock_guard<std::mutex> lock(mx);
    added.push_back(fd);
  }

 private:
  void run() {
    std::vector<char> buffer(1 << 18);
    while (!stop) {
      {
        std::lock_guard<std::mutex> lock(mx);
        for (int fd : added) {
          entries.push_back({fd, POLLIN, 0});
        }
        added.clear();
      }
      if (::poll(entries.data(), entries.size(), 10) <= 0) {
        continue;
      }
      for (size_t i = 0; i < entries.size(); ++i) {
        if ((entries[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0 &&
            ::recv(entries[i].fd, buffer.data(), buffer.size(), MSG_DONTWAIT) == 0) {
          ::close(entries[i].fd);
          entries.erase(entries.begin() + static_cast<long>(i--));
        }
      }
    }
  }
  std::mutex mx;
  std::vector<int> added;
  std::vector<pollfd> entries;
  std::atomic<bool> stop{false};
  std::thread worker;
};

// The server's log lines would mix with the benchmark's JSON on stdout.
class QuietStdout {
 public:
  QuietStdout() : saved(std::cout.rdbuf(nullptr)) {}
  ~QuietStdout() { std::cout.rdbuf(saved); }

 private:
  std::streambuf* saved;
};

int64_t completedFrames(const stream& server) {
  int64_t frames = 0;
  for (const stream* client = server.next; client != nullptr; client = client->next) {
    frames += client->frames;
  }
  return frames;
}

void streamPut(benchmark::State& state, int clients) {
  auto functions = std::make_shared<BenchFunctions>();
  stream server{};
  server.functions = functions.get();
  {
    QuietStdout quiet;
    stream_init(&server, 0, 1, 0, nullptr);
  }
  // Its clock runs a frame period per reading, far ahead of the drain: no
  // client is closed for taking no bytes.
  server.client_timeout_us = INT64_MAX;
  std::string frame(frameBytes, '\x5A');
  frame[0] = '\xFF';
  frame[1] = '\xD8';
  frame[frameBytes - 2] = '\xFF';
  frame[frameBytes - 1] = '\xD9';
  const auto* bytes = reinterpret_cast<const unsigned char*>(frame.data());
  Drain drain;
  int count = 0;
  int connected = 0;
  // The server ends each connection after 13200 frames; keep clients topped up.
  auto connectMissing = [&] {
    for (int missing = clients - count - (connected - functions->accepted); missing > 0;
         --missing) {
      drain.add(connectTo(boundPort(server.socket)));
      ++connected;
    }
  };
  while (count < clients) {
    connectMissing();
    stream_put(&server, &count, bytes, frameBytes);
  }
  const int64_t before = completedFrames(server);
  for (auto _ : state) {
    stream_put(&server, &count, bytes, frameBytes);
    if (count < clients) {
      state.PauseTiming();
      connectMissing();
      state.ResumeTiming();
    }
  }
  // Every client that left reached the limit: its header and 13200 frames.
  const int64_t left = functions->accepted - count;
  state.SetItemsProcessed(completedFrames(server) + left * 13201 - before);
  QuietStdout quiet;
  stream_stop(&server);
}

}  // namespace

// CPU time of the putting thread: the server's own work, including the
// kernel's copy of each send, without the draining thread's.
BENCHMARK_CAPTURE(streamPut, 1clients, 1)->Name("stream_put_81920_1clients");
BENCHMARK_CAPTURE(streamPut, 10clients, 10)->Name("stream_put_81920_10clients");

BENCHMARK_MAIN();
