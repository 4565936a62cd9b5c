#include "receivedText.h"

#include "StringDefs.h"
#include "messageFrame.h"

namespace VOK {

namespace {

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

}  // namespace VOK
