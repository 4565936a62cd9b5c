#include "channelText.h"

#include <cstdio>

#include "channelRange.h"

using remote_control_record::UserDataStruct;

namespace {
constexpr size_t kTextSize = 1024;
// Room for ",0x" + digit + NUL.
constexpr size_t kEntryRoom = 6;
}  // namespace

std::string channelText(const UserDataStruct& data) {
  char text[kTextSize] = {};
  size_t used = 0;
  for (unsigned i = 0; i < UserDataStruct::kChannels && kTextSize - used >= kEntryRoom; ++i) {
    used += snprintf(text + used, kTextSize - used, "%s0x%x", i == 0 ? "" : ",",
                     static_cast<unsigned>(channelInRange(data.bramixData[i])));
  }
  return std::string(text, used);
}
