// The MJPEG stream server: a non-blocking multipart HTTP response per client,
// driven entirely by the caller's stream_put calls.
#include "stream.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "log_datalayer.h"
#include "mymalloc.h"
#include "stream_parts.h"

namespace {

const int maxClients = 10;
const int frameLimit = 13200;         // about ten minutes; the browser then reconnects
const size_t frameChunkSpare = 1024;  // room for part header and trailer
const socklen_t peerAddressSize = 128;
const char stopComponent[] = "ZentorMotion(ZM)C::stream_stop()";
const char flushComponent[] = "ZentorMotion(ZM)C::stream_flush()";

// Pacing and time-outs follow the monotonic clock: a board that steps its
// wall clock at boot (NTP) must neither stall nor burst the stream.
// The system calls of the listening record s.
IStreamFunctions& callsOf(const stream* s) {
  return s->functions != nullptr ? *s->functions : stream_linux_functions();
}

int64_t monotonicUs(IStreamFunctions& sys) {
  timespec now{};
  sys._clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

bool connectionPending(IStreamFunctions& sys, int listenFd) {
  pollfd entry{listenFd, POLLIN, 0};
  return sys._poll(&entry, 1, 0) > 0 && (entry.revents & POLLIN) != 0;
}

void addClient(stream* s, int fd, int64_t now) {
  auto* client = static_cast<stream*>(mymalloc(sizeof(stream)));
  client->socket = fd;
  client->pending = response_header_chunk(s->cors_header);
  client->last_taken_us = now;
  client->prev = s;
  client->next = s->next;
  if (s->next != nullptr) {
    s->next->prev = client;
  }
  s->next = client;
}

// Takes one waiting client; false when none waits or the accept failed.
bool acceptOne(stream* s, int* count, int64_t now) {
  if (s->socket < 0 || !connectionPending(callsOf(s), s->socket)) {
    return false;
  }
  sockaddr_storage peer{};
  socklen_t peerSize = peerAddressSize;
  int fd = callsOf(s)._accept(s->socket, reinterpret_cast<sockaddr*>(&peer), &peerSize);
  if (fd < 0) {
    // No record is kept for a failed accept; it could never be written to.
    log(LOG_INFO, "ZentorMotion(ZM)C::http_acceptsock()", "stream accept()");
    return false;
  }
  http_prepare_client(callsOf(s), fd);
  addClient(s, fd, now);
  ++*count;
  return true;
}

// Every waiting client while slots are free: a burst of viewers (or of
// reconnects) is served at once, not one per frame.
void acceptWaiting(stream* s, int* count, int64_t now) {
  while (*count < maxClients && acceptOne(s, count, now)) {
  }
}

void closeClient(IStreamFunctions& sys, stream* client, int* count) {
  sys._close(client->socket);
  client->prev->next = client->next;
  if (client->next != nullptr) {
    client->next->prev = client->prev;
  }
  std::free(client);
  --*count;
}

enum class WriteOutcome { Unfinished, Complete, Failed };

// One write of the client's pending rest. MSG_NOSIGNAL: a browser that has
// gone away is an error code here, never a SIGPIPE that ends the host.
WriteOutcome writePending(IStreamFunctions& sys, stream* client) {
  stream_chunk* chunk = client->pending;
  if (client->sent >= chunk->size) {
    return WriteOutcome::Complete;
  }
  ssize_t written = sys._send(client->socket, chunk->data + client->sent,
                              static_cast<size_t>(chunk->size - client->sent), MSG_NOSIGNAL | MSG_DONTWAIT);
  if (written > 0) {
    client->sent += written;
    return client->sent < chunk->size ? WriteOutcome::Unfinished : WriteOutcome::Complete;
  }
  if (written == 0 || errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
    return WriteOutcome::Unfinished;
  }
  return WriteOutcome::Failed;
}

// A client whose socket has stayed full for the whole time-out holds a slot
// that a viewer could use; one that takes bytes, however slowly, never is
// stalled. Only clients with pending data are judged, and only after a write
// was tried, so a pause in the frames alone never closes anyone.
bool stalled(const stream* s, const stream* client, int64_t now) {
  return now - client->last_taken_us >= s->client_timeout_us;
}

// One pass over the clients; returns whether any byte was written.
bool flushPass(stream* s, int* count, int64_t now) {
  bool progress = false;
  for (stream* client = s->next; client != nullptr;) {
    stream* next = client->next;
    if (client->pending != nullptr) {
      const int64_t sentBefore = client->sent;
      WriteOutcome outcome = writePending(callsOf(s), client);
      if (client->sent > sentBefore) {
        progress = true;
        client->last_taken_us = now;
      }
      if (outcome == WriteOutcome::Unfinished && stalled(s, client, now)) {
        log(LOG_INFO, flushComponent, "a client took no bytes within its time-out, closed");
        outcome = WriteOutcome::Failed;
      }
      if (outcome != WriteOutcome::Unfinished) {
        chunk_release(client->pending);
        client->pending = nullptr;
        ++client->frames;
        if (outcome == WriteOutcome::Failed || client->frames > frameLimit) {
          closeClient(callsOf(s), client, count);
        }
      }
    }
    client = next;
  }
  return progress;
}

void stream_flush(stream* s, int* count, int64_t now) {
  while (flushPass(s, count, now)) {
  }
}

bool anyIdle(const stream* s) {
  for (const stream* client = s->next; client != nullptr; client = client->next) {
    if (client->pending == nullptr) {
      return true;
    }
  }
  return false;
}

void distributeFrame(stream* s, const unsigned char* frame, int64_t length, int64_t now,
                     int64_t wallClockUs) {
  if (!anyIdle(s)) {
    return;
  }
  stream_chunk* chunk = chunk_new(static_cast<size_t>(length) + frameChunkSpare);
  chunk->size = put_header_on_image(chunk->data, frame, length, wallClockUs);
  for (stream* client = s->next; client != nullptr; client = client->next) {
    if (client->pending == nullptr && now - client->last_frame_us > s->frame_period_us) {
      client->pending = chunk;
      client->last_frame_us = now;
      client->sent = 0;
      ++chunk->refs;
    }
  }
  if (chunk->refs == 0) {
    chunk_release(chunk);
  }
}

}  // namespace

int stream_init(stream* s, int port, int local, int ipv6, const char* origin) {
  IStreamFunctions& functions = callsOf(s);
  std::memset(s, 0, sizeof(*s));
  s->functions = &functions;
  s->client_timeout_us = stream_default_client_timeout_us;
  s->frame_period_us = stream_default_frame_period_us;
  s->socket = http_bindsock(functions, port, local, ipv6);
  if (origin != nullptr) {
    s->cors_header = static_cast<char*>(mymalloc(std::strlen(origin) + 1));
    std::strcpy(s->cors_header, origin);
  }
  return s->socket;
}

void stream_put(stream* s, int* count, const unsigned char* frame, int64_t length,
                int64_t wall_clock_us) {
  const int64_t now = monotonicUs(callsOf(s));
  acceptWaiting(s, count, now);
  if (*count <= 0) {
    return;
  }
  stream_flush(s, count, now);
  distributeFrame(s, frame, length, now, wall_clock_us);
  stream_flush(s, count, now);
}

void stream_stop(stream* s) {
  log(LOG_INFO, stopComponent, "Closing stream listen socket & active stream sockets");
  IStreamFunctions& sys = callsOf(s);
  if (s->socket >= 0) {
    sys._close(s->socket);
  }
  s->socket = -1;
  std::free(s->cors_header);
  s->cors_header = nullptr;
  while (s->next != nullptr) {
    stream* client = s->next;
    if (client->pending != nullptr) {
      chunk_release(client->pending);
    }
    s->next = client->next;
    sys._close(client->socket);
    std::free(client);
  }
  log(LOG_INFO, stopComponent, "Closed stream listen socket & active stream sockets");
}
