#include "FileLock.h"

#include <sys/file.h>

namespace VOK {

FileLock::FileLock(std::shared_ptr<ISharedMemory> functions, int descriptor)
    : functions(std::move(functions)),
      descriptor(descriptor),
      locked(this->functions->_flock(descriptor, LOCK_EX | LOCK_NB) == 0) {}

FileLock::~FileLock() {
  if (locked) {
    functions->_flock(descriptor, LOCK_UN);
  }
}

bool FileLock::held() const { return locked; }

bool FileLock::heldOnNamedFile() const {
  struct stat status {};
  return locked && functions->_fstat(descriptor, &status) == 0 && status.st_nlink > 0;
}

}  // namespace VOK
