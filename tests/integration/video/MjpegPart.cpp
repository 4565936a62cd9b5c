#include "MjpegPart.h"

#include <turbojpeg.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

MjpegPart readPart(StreamClient& client, int timeoutMs) {
  MjpegPart part;
  std::string header;
  while (header.size() < 200 && header.find("\r\n\r\n") == std::string::npos) {
    const std::string byte = client.read(1, timeoutMs);
    if (byte.empty()) {
      return part;
    }
    header += byte;
  }
  const std::string key = "Content-Length: ";
  const size_t at = header.find(key);
  if (header.rfind("--BoundaryString\r\n", 0) != 0 || at == std::string::npos) {
    return part;
  }
  part.contentLength = std::stol(header.substr(at + key.size()));
  part.image = client.read(static_cast<size_t>(part.contentLength), timeoutMs);
  client.read(5, timeoutMs);  // CR LF CR LF and the zero byte
  return part;
}

std::unique_ptr<StreamClient> connectToStream(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    try {
      return std::make_unique<StreamClient>(2020);
    } catch (const std::runtime_error&) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  return nullptr;
}

bool streamEnds(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    try {
      StreamClient probe(2020);
    } catch (const std::runtime_error&) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

bool decodesAsJpeg(const std::string& bytes, int width, int height) {
  tjhandle decoder = tjInitDecompress();
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  int w = 0, h = 0, subsampling = 0, colourspace = 0;
  bool ok = tjDecompressHeader3(decoder, data, bytes.size(), &w, &h, &subsampling, &colourspace) == 0 &&
            w == width && h == height;
  if (ok) {
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    ok = tjDecompress2(decoder, data, bytes.size(), rgb.data(), w, 0, h, TJPF_RGB, 0) == 0;
  }
  tjDestroy(decoder);
  return ok;
}
