#include "receivedText.h"

#include "StringDefs.h"

namespace VOK {

namespace {

// Length of the JSON object at the start of text, or 0 when text does not start with a
// complete one. Strings are skipped, so braces inside them do not count.
std::size_t leadingObjectLength(const std::string& text) {
  if (text.empty() || text[0] != '{') {
    return 0;
  }
  int depth = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '{') {
      ++depth;
    } else if (c == '}' && --depth == 0) {
      return i + 1;
    }
  }
  return 0;
}

// The broker writes members in key order, so its environment reply always begins with
// "ConfigData", a member that no sign-in reply has; its "Type" confirms it.
bool isEnvironmentReply(const std::string& object) {
  const std::string start = "{\"" + StringDefs::ConfigKeys::ConfigData + "\":";
  const std::string type = "\"" + StringDefs::ConfigKeys::Type + "\":\"" +
                           StringDefs::ConfigKeys::ConfigDataResponse + "\"";
  return object.compare(0, start.size(), start) == 0 && object.find(type) != std::string::npos;
}

}  // namespace

std::string dropEnvironmentReplies(const std::string& received) {
  std::string rest = received;
  for (std::size_t length = leadingObjectLength(rest);
       length > 0 && isEnvironmentReply(rest.substr(0, length));
       length = leadingObjectLength(rest)) {
    rest.erase(0, length);
  }
  return rest;
}

bool beginsWithCompleteObject(const std::string& received) {
  return leadingObjectLength(received) > 0;
}

}  // namespace VOK
