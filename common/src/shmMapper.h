#pragma once

#include "IShmMapper.h"

namespace VOK {

// Common base of the shared-memory factories; still abstract.
class ShmMapper : public IShmMapper {
 public:
  // Logs the creation (debug).
  ShmMapper();
};

}  // namespace VOK
