#pragma once

#include <cstdint>
#include <list>

#include "IVOKBaseDataStruct.h"
#include "Symbol.h"

namespace remote_control_record {

// The remote-control record "bramixData": 15 signed channel values that the
// command feed publishes and the servo controller consumes. Its byte image
// (object word, the values, padding) is the shared-memory segment.
class UserDataStruct : public VOK::IVOKBaseDataStruct {
 public:
  static constexpr unsigned kChannels = 15;

  // All channel values 0.
  UserDataStruct();

  // One symbol "bramixData", "int8_t", 15 bytes, at the values' byte offset
  // inside this object.
  std::list<Symbol> getSymbolList() const override;

  // Channel values 0..14; the servo board gets each moved into 0..15.
  int8_t bramixData[kChannels];
};

}  // namespace remote_control_record
