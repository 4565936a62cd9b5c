#pragma once

#include <cstdint>

#include "IStreamFunctions.h"

// One piece of the HTTP response, shared by every client that is to send it.
struct stream_chunk {
  unsigned char* data;  // allocated with mymalloc
  int refs;             // clients that still have to finish it
  int64_t size;         // bytes to send
};

// The listening end and, linked behind it, one record per client.
struct stream {
  int socket;                   // -1 when closed or not opened
  stream_chunk* pending;        // chunk being written to this client; null when idle
  char* cors_header;            // listening end only: origin for Access-Control-Allow-Origin
  int64_t sent;                 // bytes of pending already written
  int frames;                   // chunks completed (the response header counts as the first)
  int64_t last_frame_us;        // monotonic µs of the last frame given; 0 for a new client
  stream* prev;                 // previous record; the listening end for the first client
  stream* next;                 // next client; the listening end's next is the first client
  int64_t last_taken_us;        // client: monotonic µs when it last took bytes (or was accepted)
  int64_t client_timeout_us;    // listening end: a client taking no bytes this long is closed
  int64_t frame_period_us;      // listening end: a client gets at most one frame per this many µs
  IStreamFunctions* functions;  // listening end: the system calls of the server and its clients
};

// The least time between two frames to one client unless the caller sets
// frame_period_us after stream_init: about 22 frames per second.
const int64_t stream_default_frame_period_us = 45453;

// How long a client may take no bytes before its slot is freed, unless the
// caller sets client_timeout_us after stream_init.
const int64_t stream_default_client_timeout_us = 10000000;

// Opens the listening socket (port; local: loopback only; ipv6: dual-stack)
// and resets the record, with the default client timeout and frame period;
// origin, when not null, is copied for the CORS line. The record keeps its
// functions (the Linux calls when null). Returns the listening socket, or -1
// when it could not be opened.
int stream_init(stream* s, int port, int local, int ipv6, const char* origin);

// A close-on-exec TCP socket listening on port with a backlog of 10, or -1.
int http_bindsock(IStreamFunctions& sys, int port, int local, int ipv6);

// Readies an accepted client socket: non-blocking, TCP keepalive so that a
// vanished peer is noticed, and a bounded send buffer so that a client that
// takes nothing fills it soon. Best effort: a refused option changes nothing else.
void http_prepare_client(IStreamFunctions& sys, int fd);

// Accepts waiting clients (up to 10 at a time), writes what the clients'
// sockets take, closes a client that has taken no bytes for the client
// timeout, and hands the frame to every idle client not served within the
// last frame period of the monotonic clock. Never blocks; count is the
// number of clients. wall_clock_us, when not 0, is the moment the frame was
// taken, sent as the part's X-Timestamp line.
void stream_put(stream* s, int* count, const unsigned char* frame, int64_t length,
                int64_t wall_clock_us = 0);

// Writes one multipart frame part for the frame's first n bytes, cut after
// the first 0xFF 0xD9 pair, into out (room for n + 1024 bytes); returns its
// size. With wall_clock_us not 0, the part header ends with the line
// "X-Timestamp: SECONDS.MICROSECONDS".
int64_t put_header_on_image(unsigned char* out, const unsigned char* frame, int64_t n,
                            int64_t wall_clock_us = 0);

// Closes the listening socket and every client, frees all their memory.
void stream_stop(stream* s);

// The Linux calls, for a record whose functions are null.
IStreamFunctions& stream_linux_functions();
