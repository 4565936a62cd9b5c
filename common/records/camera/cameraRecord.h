#pragma once

#include <cstdint>
#include <list>

#include "IVOKBaseDataStruct.h"
#include "Symbol.h"

namespace camera_record {

// The camera frame record of the bramixmotionData block: the object word,
// then one frame. A frame that starts with 0xFF is a JPEG image ending with
// the first 0xFF 0xD9 pair; the bytes after it are zero.
class UserDataStruct : public VOK::IVOKBaseDataStruct {
 public:
  static constexpr unsigned frameBytes = 81920;

  // All frame bytes zero.
  UserDataStruct();
  // One symbol: "bramixmotionData", "int8_t", 81920 bytes, at its offset in the object.
  std::list<Symbol> getSymbolList() const override;

  int8_t bramixmotionData[frameBytes];
};

}  // namespace camera_record
