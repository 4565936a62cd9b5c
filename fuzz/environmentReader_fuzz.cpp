// Any bytes given to the environment reader give a configuration or std::invalid_argument.

#include <stdexcept>

#include "VokEnvironmentConfig.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = textOf(data, size);
  try {
    if (!VOK::VokEnvironmentConfig::CreateFromString(text)) {
      finding("no configuration", text);
    }
  } catch (const std::invalid_argument&) {
  }
  return 0;
}
