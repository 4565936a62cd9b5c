#pragma once

#include <string>
#include <vector>

namespace vok_itest {

// The command line that runs Debian's interpreter with the module from the
// build tree on arguments; in the sanitizer build with the sanitizer runtime
// preloaded and no leak check.
std::vector<std::string> pythonCommand(const std::vector<std::string>& arguments);

}  // namespace vok_itest
