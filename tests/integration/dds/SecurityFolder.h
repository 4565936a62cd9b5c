#pragma once

#include <string>

#include "DdsItest.h"

namespace vok_itest {

// A CA, the identities vok-board and vok-station each in a folder of its own
// with the signed governance and permissions of the examples, as the comment
// of security.xml makes them; all removed again.
class SecurityFolder {
 public:
  SecurityFolder();
  ~SecurityFolder();
  SecurityFolder(const SecurityFolder&) = delete;
  SecurityFolder& operator=(const SecurityFolder&) = delete;

  // The prefix that runs a command on loopback with DDS Security as who.
  Argv as(const std::string& who) const;

  std::string path;
  // Whether openssl made every file; log holds what it said.
  bool made = false;
  std::string log;
};

}  // namespace vok_itest
