#include "PythonCommand.h"

#include <cstdlib>

namespace vok_itest {

std::vector<std::string> pythonCommand(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{"/usr/bin/env", std::string("PYTHONPATH=") + PYTHON_MODULE_DIR};
  if (std::string(SANITIZER_RUNTIME).size() > 0) {
    const char* options = std::getenv("ASAN_OPTIONS");
    argv.push_back(std::string("LD_PRELOAD=") + SANITIZER_RUNTIME);
    argv.push_back(std::string("ASAN_OPTIONS=") + (options ? options : "") + ":detect_leaks=0");
  }
  argv.push_back(PYTHON_EXECUTABLE);
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

}  // namespace vok_itest
