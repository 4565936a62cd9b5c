#include "remoteControlRecord.h"

namespace remote_control_record {

UserDataStruct::UserDataStruct() : bramixData{} {}

std::list<Symbol> UserDataStruct::getSymbolList() const {
  auto offset = reinterpret_cast<const unsigned char*>(bramixData) -
                reinterpret_cast<const unsigned char*>(this);
  return {Symbol("bramixData", "int8_t", kChannels, static_cast<unsigned long long>(offset))};
}

}  // namespace remote_control_record
