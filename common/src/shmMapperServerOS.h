#pragma once

#include "ISharedMemory.h"
#include "shmMapper.h"

#include <memory>

namespace VOK {

// Hands out VokShm objects over POSIX shared memory, all sharing one wrapper.
class ShmMapperServerOS : public ShmMapper {
 public:
  // Throws std::invalid_argument for a null wrapper.
  explicit ShmMapperServerOS(std::shared_ptr<ISharedMemory> functions);
  ~ShmMapperServerOS() override;

  std::shared_ptr<VokShm> provideShm(std::string name, bool create, unsigned size) override;
  void resizeShm(std::shared_ptr<VokShm> shm, unsigned size) override;

 private:
  std::shared_ptr<ISharedMemory> functions;
};

}  // namespace VOK
