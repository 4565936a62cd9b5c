#pragma once

#include "VokShm.h"

#include <memory>
#include <string>

namespace VOK {

// Factory of mapped shared-memory objects.
class IShmMapper {
 public:
  virtual ~IShmMapper() = default;
  // A new VokShm over name: created read-write (create true) or attached
  // read-only, mapped for size bytes. VokShm's exceptions pass through.
  virtual std::shared_ptr<VokShm> provideShm(std::string name, bool create, unsigned size) = 0;
  // Remaps shm to size bytes; read the new address through getShmAdr() afterwards.
  virtual void resizeShm(std::shared_ptr<VokShm> shm, unsigned size) = 0;
};

}  // namespace VOK
