#pragma once

#include "ISharedMemory.h"

#include <memory>

namespace VOK {

// An exclusive advisory lock (flock) on an open descriptor, tried once without
// blocking. A provider holds one on its shared-memory object for as long as it
// lives, so that a lock anyone can take marks an object whose owner is gone.
// The kernel drops the lock with the last descriptor of the open file.
class FileLock {
 public:
  // Tries LOCK_EX | LOCK_NB on descriptor, which stays owned by the caller
  // and must outlive this object.
  FileLock(std::shared_ptr<ISharedMemory> functions, int descriptor);
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // Releases the lock if it was taken. Never throws.
  ~FileLock();

  // Whether the lock was taken (false: another open file holds it, or flock failed).
  bool held() const;
  // Held, and the file still has its name: on a shared-memory object, the
  // sign that its owner is gone and nobody has replaced it yet.
  bool heldOnNamedFile() const;

 private:
  std::shared_ptr<ISharedMemory> functions;
  int descriptor;
  bool locked;
};

}  // namespace VOK
