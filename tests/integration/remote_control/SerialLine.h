#pragma once

#include <chrono>
#include <string>

namespace vok_itest {

// A real pseudo-terminal whose slave side stands in for the servo board's
// serial port: linked at linkPath only when nothing exists there, and the
// link removed again by the destructor only when it is still ours.
class SerialLine {
 public:
  explicit SerialLine(std::string linkPath);
  ~SerialLine();
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  // Whether the link was made (false: something else is at linkPath).
  bool linked() const { return ownLink; }
  // Writes bytes at the master side: what the board would send back.
  void write(const std::string& bytes);
  // Everything that arrives at the master side within timeout, up to count bytes.
  std::string read(size_t count, std::chrono::milliseconds timeout);

 private:
  std::string linkPath;
  std::string slavePath;
  int master = -1;
  int slave = -1;
  bool ownLink = false;
};

}  // namespace vok_itest
