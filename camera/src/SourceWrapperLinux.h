#pragma once

#include "ISourceFunctions.h"

namespace camera {

// ISourceFunctions on the Linux calls of the same names.
class SourceWrapperLinux : public ISourceFunctions {
 public:
  int _open(const char* path, int flags) override;
  ssize_t _read(int fd, void* buffer, size_t count) override;
  int _poll(pollfd* fds, nfds_t count, int timeoutMs) override;
  int _fstat(int fd, struct stat* info) override;
  int _close(int fd) override;
  int _pipe2(int fds[2], int flags) override;
  int _posix_spawn(pid_t* pid, const char* path, const posix_spawn_file_actions_t* actions,
                   const posix_spawnattr_t* attributes, char* const argv[]) override;
  int _waitid(idtype_t type, id_t id, siginfo_t* info, int options) override;
  int _kill(pid_t pid, int signalNumber) override;
};

}  // namespace camera
