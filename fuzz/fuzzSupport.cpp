#include "fuzzSupport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

// The readers log every missing key to standard output; at fuzzing speed that output
// would dominate the run, so it goes to /dev/null. libFuzzer reports on standard error.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) {
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
  }
  return 0;
}

std::string textOf(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

void finding(const std::string& what, const std::string& input) {
  std::fprintf(stderr, "finding: %s\ninput: %s\n", what.c_str(), input.c_str());
  std::abort();
}
