#pragma once

// Message layer only: this header pulls in nlohmann/json.

#include <string>

#include "responseToJson.h"

namespace VOK {

// Turns a reply into its compact JSON text.
class ResponseDataSerializer {
 public:
  explicit ResponseDataSerializer(const ResponseToJson& writer);

  // Compact text, members in key order. Throws std::invalid_argument for a provide
  // without symbols, the JSON library's type error for invalid UTF-8.
  std::string serializeToString(const ResponseData& response);

 private:
  ResponseToJson writer;
};

}  // namespace VOK
