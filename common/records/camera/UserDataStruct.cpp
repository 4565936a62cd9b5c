#include "cameraRecord.h"

#include "cameraContract.h"

#include <cstring>

namespace camera_record {

UserDataStruct::UserDataStruct() { std::memset(bramixmotionData, 0, sizeof(bramixmotionData)); }

std::list<Symbol> UserDataStruct::getSymbolList() const {
  const auto offset = static_cast<unsigned long long>(
      reinterpret_cast<const char*>(bramixmotionData) - reinterpret_cast<const char*>(this));
  return {Symbol(kContract.symbolName, kContract.symbolType, frameBytes, offset)};
}

}  // namespace camera_record
