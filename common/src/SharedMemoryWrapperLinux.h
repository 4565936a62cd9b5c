#pragma once

#include "ISharedMemory.h"

namespace VOK {

// The Linux system calls behind ISharedMemory, forwarded unchanged.
class SharedMemoryWrapperLinux : public ISharedMemory {
 public:
  void* _mmap(void* addr, size_t length, int prot, int flags, int fd, long offset) override;
  int _munmap(void* addr, size_t length) override;
  int _shm_open(const char* name, int oflag, unsigned mode) override;
  int _shm_unlink(const char* name) override;
  int _ftruncate(int fd, long length) override;
  int _fstat(int fd, struct stat* buf) override;
  int _close(int fd) override;
  int _flock(int fd, int operation) override;
};

}  // namespace VOK
