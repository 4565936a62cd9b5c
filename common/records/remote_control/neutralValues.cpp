#include "neutralValues.h"

#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "channelRange.h"

using remote_control_record::UserDataStruct;

namespace {

constexpr unsigned kSettable = UserDataStruct::kChannels - 1;
constexpr int8_t kEndMark = 13;

const std::string kUsage = "neutral values: up to 14 comma-separated values 0..15";

int8_t channelValue(const std::string& item) {
  char* end = nullptr;
  long value = std::strtol(item.c_str(), &end, 0);
  if (item.empty() || *end != '\0' || value < kChannelMin || value > kChannelMax) {
    throw std::invalid_argument(kUsage + ", not \"" + item + "\"");
  }
  return static_cast<int8_t>(value);
}

}  // namespace

ChannelValues defaultNeutralValues() {
  ChannelValues values;
  values.fill(kNeutralCentre);
  values[kSettable] = kEndMark;
  return values;
}

ChannelValues parseNeutralValues(const std::string& text) {
  ChannelValues values = defaultNeutralValues();
  std::istringstream items(text);
  std::string item;
  unsigned channel = 0;
  while (std::getline(items, item, ',')) {
    if (channel == kSettable) {
      throw std::invalid_argument(kUsage + ", not more");
    }
    values[channel++] = channelValue(item);
  }
  if (channel == 0) {
    throw std::invalid_argument(kUsage + ", not none");
  }
  return values;
}

UserDataStruct neutralRecord(const ChannelValues& values) {
  UserDataStruct record;
  for (unsigned i = 0; i < UserDataStruct::kChannels; ++i) {
    record.bramixData[i] = values[i];
  }
  return record;
}
