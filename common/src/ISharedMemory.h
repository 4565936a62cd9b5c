#pragma once

#include <sys/stat.h>

#include <cstddef>

namespace VOK {

// The POSIX shared-memory calls, one forwarding method each, so that the
// shared-memory logic can run against substitutes. Results and errno are
// those of the system call of the same name without the underscore.
class ISharedMemory {
 public:
  virtual ~ISharedMemory() = default;
  // mmap(2): the mapping address, or MAP_FAILED with errno set.
  virtual void* _mmap(void* addr, size_t length, int prot, int flags, int fd, long offset) = 0;
  // munmap(2): 0 on success, -1 with errno set.
  virtual int _munmap(void* addr, size_t length) = 0;
  // shm_open(3): a descriptor, or -1 with errno set.
  virtual int _shm_open(const char* name, int oflag, unsigned mode) = 0;
  // shm_unlink(3): 0 on success, -1 with errno set.
  virtual int _shm_unlink(const char* name) = 0;
  // ftruncate(2): 0 on success, -1 with errno set.
  virtual int _ftruncate(int fd, long length) = 0;
  // fstat(2): 0 on success with *buf filled, -1 with errno set.
  virtual int _fstat(int fd, struct stat* buf) = 0;
  // close(2): 0 on success, -1 with errno set.
  virtual int _close(int fd) = 0;
  // flock(2): 0 on success, -1 with errno set (EWOULDBLOCK: held elsewhere).
  virtual int _flock(int fd, int operation) = 0;
};

}  // namespace VOK
