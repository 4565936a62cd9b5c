#include "shmMapperServerOS.h"

#include "log_datalayer.h"

#include <stdexcept>

namespace VOK {

namespace {
const char* const kLocation = "common/src/shmMapperServerOS";
}

ShmMapperServerOS::ShmMapperServerOS(std::shared_ptr<ISharedMemory> functions)
    : functions(std::move(functions)) {
  log(LOG_DEBUG, kLocation, "Generate ShmMapper-Object");
  if (!this->functions) {
    throw std::invalid_argument("Error: ShmMapperServerOS: Shared-memory-Object must not be null");
  }
}

ShmMapperServerOS::~ShmMapperServerOS() { log(LOG_DEBUG, kLocation, "Destruct ShmMapper-Object"); }

std::shared_ptr<VokShm> ShmMapperServerOS::provideShm(std::string name, bool create,
                                                      unsigned size) {
  return std::make_shared<VokShm>(std::move(name), size, functions, create);
}

void ShmMapperServerOS::resizeShm(std::shared_ptr<VokShm> shm, unsigned size) {
  shm->resizeSharedMemory(size);
}

}  // namespace VOK
