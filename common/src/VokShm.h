#pragma once

#include "FileLock.h"
#include "ISharedMemory.h"

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

namespace VOK {

// One open and mapped POSIX shared-memory object. It owns its mapping and its
// descriptor and, on the creating (provider) side, the name, which it unlinks
// when it goes, and an exclusive lock on the object that marks its owner as
// alive. A constructed object is always mapped.
class VokShm {
 public:
  // Opens name (passed to shm_open unchanged), on the creating side creates it
  // exclusively and truncates it to size, and maps size bytes: read-write when
  // creating, read-only otherwise. A name that exists already is taken over
  // (unlinked, created anew, one log line) when no provider holds its lock;
  // while one does, or when another newcomer replaced this one's new object
  // before it was locked, creating fails with the EEXIST text. Throws std::invalid_argument for a null
  // functions pointer, VOKException (logged) when a call fails or the object
  // is smaller than size; whatever was opened or created is released first.
  VokShm(std::string name, unsigned size, std::shared_ptr<ISharedMemory> functions, bool create);
  VokShm(const VokShm&) = delete;
  VokShm& operator=(const VokShm&) = delete;
  // Unmaps, unlinks the name on the creating side, closes the descriptor. Never throws.
  virtual ~VokShm();

  // Replaces the mapping by one of newSize bytes over the same object (never
  // truncates). Refuses, with VOKException and the old mapping kept, a size
  // beyond the object; a failed unmap or map throws VOKException.
  virtual void resizeSharedMemory(size_t newSize);
  // Start of the current mapping; changes with every resize.
  virtual void* getShmAdr();
  // Length of the current mapping in bytes.
  unsigned getSize() const;
  // The object name as given at construction.
  const std::string& getName() const;
  // The user that owns the object. Throws VOKException (logged) when it
  // cannot be read.
  uid_t getOwner() const;

  // Whether the name now refers to another object than the mapped one (a
  // restarted provider took it over); false while the name is missing.
  bool nameRefersElsewhere() const;

  // Protection and open flags for the creating (read-write, O_CREAT|O_EXCL)
  // or attaching (read-only) side.
  static void getFlags(bool create, int& protection, int& openFlags);

 private:
  int createOwned();
  int createLocked();
  int replaceStaleObject();
  bool readObjectSize(size_t& held) const;
  [[noreturn]] void failConstruction(const std::string& prefix, const std::string& detail);

  void* address = nullptr;
  std::string name;
  uint32_t size;
  std::shared_ptr<ISharedMemory> functions;
  int fileDescriptor = 0;
  bool create;
  // Creating side only; released before the descriptor is closed.
  std::unique_ptr<FileLock> ownerLock;
};

}  // namespace VOK
