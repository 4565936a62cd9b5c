#pragma once

// Message layer only: this header pulls in nlohmann/json.

#include <string>

#include "ToJsonBase.h"

namespace VOK {

// Turns a message into its compact JSON text with a writer, held by value
// (copied from the constructor argument), whose transform fills the document.
template <typename Writer, typename Message, void (Writer::*transform)(const Message&, json&) const>
class JsonSerializer {
 public:
  explicit JsonSerializer(const Writer& writer) : writer(writer) {}

  // Compact text, members in key order, non-ASCII unescaped. Throws what the
  // writer throws (std::invalid_argument for a provide without symbols) and
  // the JSON library's type error for invalid UTF-8.
  std::string serializeToString(const Message& message) {
    json j;
    (writer.*transform)(message, j);
    return j.dump();
  }

 private:
  Writer writer;
};

}  // namespace VOK
