#include "remoteControlRecord.h"

#include "remoteControlContract.h"

namespace remote_control_record {

UserDataStruct::UserDataStruct() : bramixData{} {}

std::list<Symbol> UserDataStruct::getSymbolList() const {
  auto offset = reinterpret_cast<const unsigned char*>(bramixData) -
                reinterpret_cast<const unsigned char*>(this);
  return {Symbol(kContract.symbolName, kContract.symbolType, kChannels, static_cast<unsigned long long>(offset))};
}

}  // namespace remote_control_record
