#pragma once

// Message layer only: this header pulls in nlohmann/json.

#include <string>

#include "ConfigToJson.h"

namespace VOK {

// Turns a sign-in into its compact JSON text.
class ConfigDataSerializer {
 public:
  explicit ConfigDataSerializer(const ConfigToJson& writer);

  // Compact text, members in key order, non-ASCII unescaped. Throws std::invalid_argument
  // for a description without symbols, the JSON library's type error for invalid UTF-8.
  std::string serializeToString(const ConfigurationData& config);

 private:
  ConfigToJson writer;
};

}  // namespace VOK
