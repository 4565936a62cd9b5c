// The bytes the stream server sends: the response header and frame parts.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "mymalloc.h"
#include "stream_parts.h"

namespace {

const char responseHeader[] =
    "HTTP/1.0 200 OK\r\n"
    "Server: ZentorMotion(ZM)C V0.1\r\n"
    "Connection: close\r\n"
    "Max-Age: 0\r\n"
    "Expires: 0\r\n"
    "Cache-Control: no-cache, private\r\n"
    "Pragma: no-cache\r\n"
    "Content-Type: multipart/x-mixed-replace; boundary=BoundaryString\r\n"
    "\r\n";
const char corsLine[] = "Access-Control-Allow-Origin: ";
const char partTrailer[] = "\r\n\r\n";  // and its terminating zero: five bytes
const size_t partTrailerSize = sizeof(partTrailer);
// The part header is far shorter than the 1024 bytes a frame chunk has spare.
const size_t partHeaderRoom = 128;

// Length of the image: up to and including the first 0xFF 0xD9, else all n bytes.
int64_t imageLength(const unsigned char* frame, int64_t n) {
  const unsigned char* end = frame + n;
  for (const unsigned char* p = frame; n >= 2 && p < end - 1; ++p) {
    p = static_cast<const unsigned char*>(std::memchr(p, 0xFF, static_cast<size_t>(end - 1 - p)));
    if (p == nullptr) {
      break;
    }
    if (p[1] == 0xD9) {
      return p - frame + 2;
    }
  }
  return n;
}

void append(stream_chunk* chunk, const void* bytes, size_t length) {
  std::memcpy(chunk->data + chunk->size, bytes, length);
  chunk->size += static_cast<int64_t>(length);
}

}  // namespace

stream_chunk* chunk_new(size_t capacity) {
  auto* chunk = static_cast<stream_chunk*>(mymalloc(sizeof(stream_chunk)));
  chunk->data = static_cast<unsigned char*>(mymalloc(capacity));
  return chunk;
}

void chunk_release(stream_chunk* chunk) {
  if (--chunk->refs <= 0) {
    std::free(chunk->data);
    std::free(chunk);
  }
}

stream_chunk* response_header_chunk(const char* origin) {
  const size_t headerSize = sizeof(responseHeader) - 1;
  if (origin == nullptr) {
    stream_chunk* chunk = chunk_new(headerSize);
    append(chunk, responseHeader, headerSize);
    chunk->refs = 1;
    return chunk;
  }
  const size_t originSize = std::strlen(origin);
  const size_t withoutEmptyLine = headerSize - 2;
  stream_chunk* chunk = chunk_new(withoutEmptyLine + sizeof(corsLine) - 1 + originSize + 4);
  append(chunk, responseHeader, withoutEmptyLine);
  append(chunk, corsLine, sizeof(corsLine) - 1);
  append(chunk, origin, originSize);
  append(chunk, "\r\n\r\n", 4);
  chunk->refs = 1;
  return chunk;
}

int64_t put_header_on_image(unsigned char* out, const unsigned char* frame, int64_t n,
                            int64_t wall_clock_us) {
  const int64_t image = imageLength(frame, n);
  char* text = reinterpret_cast<char*>(out);
  int header = std::snprintf(text, partHeaderRoom,
                             "--BoundaryString\r\nContent-type: image/jpeg\r\n"
                             "Content-Length: %lld\r\n",
                             static_cast<long long>(image));
  if (wall_clock_us != 0) {
    header += std::snprintf(text + header, partHeaderRoom - header, "X-Timestamp: %lld.%06lld\r\n",
                            static_cast<long long>(wall_clock_us / 1000000),
                            static_cast<long long>(wall_clock_us % 1000000));
  }
  header += std::snprintf(text + header, partHeaderRoom - header, "\r\n");
  std::memcpy(out + header, frame, static_cast<size_t>(image));
  std::memcpy(out + header + image, partTrailer, partTrailerSize);
  return header + image + static_cast<int64_t>(partTrailerSize);
}
