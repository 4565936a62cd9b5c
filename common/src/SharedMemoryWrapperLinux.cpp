#include "SharedMemoryWrapperLinux.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

namespace VOK {

void* SharedMemoryWrapperLinux::_mmap(void* addr, size_t length, int prot, int flags, int fd,
                                      long offset) {
  return ::mmap(addr, length, prot, flags, fd, offset);
}

int SharedMemoryWrapperLinux::_munmap(void* addr, size_t length) { return ::munmap(addr, length); }

int SharedMemoryWrapperLinux::_shm_open(const char* name, int oflag, unsigned mode) {
  return ::shm_open(name, oflag, static_cast<mode_t>(mode));
}

int SharedMemoryWrapperLinux::_shm_unlink(const char* name) { return ::shm_unlink(name); }

int SharedMemoryWrapperLinux::_ftruncate(int fd, long length) { return ::ftruncate(fd, length); }

int SharedMemoryWrapperLinux::_fstat(int fd, struct stat* buf) { return ::fstat(fd, buf); }

int SharedMemoryWrapperLinux::_close(int fd) { return ::close(fd); }

int SharedMemoryWrapperLinux::_flock(int fd, int operation) { return ::flock(fd, operation); }

}  // namespace VOK
