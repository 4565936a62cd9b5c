#pragma once

#include "ISharedMemory.h"

#include <gmock/gmock.h>

namespace VOK {

class MockSharedMemory : public ISharedMemory {
 public:
  MOCK_METHOD(void*, _mmap, (void*, size_t, int, int, int, long), (override));
  MOCK_METHOD(int, _munmap, (void*, size_t), (override));
  MOCK_METHOD(int, _shm_open, (const char*, int, unsigned), (override));
  MOCK_METHOD(int, _shm_unlink, (const char*), (override));
  MOCK_METHOD(int, _ftruncate, (int, long), (override));
  MOCK_METHOD(int, _fstat, (int, struct stat*), (override));
  MOCK_METHOD(int, _close, (int), (override));
  MOCK_METHOD(int, _flock, (int, int), (override));
};

// Action for _fstat: reports an object of the given size, still under its name.
ACTION_P(ReportObjectSize, bytes) {
  arg1->st_size = static_cast<off_t>(bytes);
  arg1->st_nlink = 1;
  return 0;
}

// Action for a failing call: sets errno and returns -1.
ACTION_P(FailWith, error) {
  errno = error;
  return -1;
}

}  // namespace VOK
