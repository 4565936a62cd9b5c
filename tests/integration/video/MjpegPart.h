#pragma once

#include <memory>
#include <string>

#include "StreamClient.h"

// The next multipart part a stream client receives: its Content-Length and
// image bytes. Empty image when none arrived within timeoutMs.
struct MjpegPart {
  long contentLength = -1;
  std::string image;
};
MjpegPart readPart(StreamClient& client, int timeoutMs);

// A client of 127.0.0.1:2020 once something listens there (within timeoutMs); null otherwise.
std::unique_ptr<StreamClient> connectToStream(int timeoutMs);

// Whether nothing listens on 127.0.0.1:2020 any more within timeoutMs.
bool streamEnds(int timeoutMs);

// Whether bytes are a JPEG image of width x height that libjpeg-turbo decodes.
bool decodesAsJpeg(const std::string& bytes, int width, int height);
