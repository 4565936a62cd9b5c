#pragma once

#include <cstdint>
#include <memory>

#include "IStreamFunctions.h"

// One piece of the HTTP response, shared by every client that is to send it.
struct stream_chunk {
  unsigned char* data;  // allocated with mymalloc
  int refs;             // clients that still have to finish it
  int64_t size;         // bytes to send
};

// The listening end and, linked behind it, one record per client.
struct stream {
  int socket;               // -1 when closed or not opened
  stream_chunk* pending;    // chunk being written to this client; null when idle
  char* cors_header;        // listening end only: origin for Access-Control-Allow-Origin
  int64_t sent;             // bytes of pending already written
  int frames;               // chunks completed (the response header counts as the first)
  int64_t last_frame_us;    // wall-clock µs of the last frame given; 0 for a new client
  stream* prev;             // previous record; the listening end for the first client
  stream* next;             // next client; the listening end's next is the first client
};

// Opens the listening socket (port; local: loopback only; ipv6: dual-stack)
// and resets the record; origin, when not null, is copied for the CORS line.
// Returns the listening socket, or -1 when it could not be opened.
int stream_init(stream* s, int port, int local, int ipv6, const char* origin);

// A close-on-exec TCP socket listening on port with a backlog of 10, or -1.
int http_bindsock(int port, int local, int ipv6);

// Accepts at most one new client (up to 10 at a time), writes what the
// clients' sockets take and hands the frame to every idle client not served
// within the last 45453 µs. Never blocks; count is the number of clients.
void stream_put(stream* s, int* count, const unsigned char* frame, int64_t length);

// Writes one multipart frame part for the frame's first n bytes, cut after
// the first 0xFF 0xD9 pair, into out (room for n + 1024 bytes); returns its size.
int64_t put_header_on_image(unsigned char* out, const unsigned char* frame, int64_t n);

// Closes the listening socket and every client, frees all their memory.
void stream_stop(stream* s);

// Replaces the system calls of the stream module (tests); throws
// std::invalid_argument when functions is null.
void stream_use_functions(std::shared_ptr<IStreamFunctions> functions);

// The system calls currently in use by the stream module.
IStreamFunctions& stream_functions();
