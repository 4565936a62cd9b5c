#include "ringWake.h"

#include <fcntl.h>

#include <cerrno>
#include <exception>

#include "FutexWrapperLinux.h"
#include "SharedMemoryWrapperLinux.h"
#include "log_datalayer.h"
#include "ringOwner.h"

namespace VOK {

namespace {

const char kComponent[] = "vok_support/src/ringWake";

std::shared_ptr<RingSignal> runByPass(const std::string& name, const std::string& why) {
  log(LOG_INFO, kComponent, name + " " + why + "; reading by the pass alone");
  return nullptr;
}

}  // namespace

std::shared_ptr<RingSignal> createRingSignal(const std::string& shmID, uint32_t segmentCount) {
  const auto size = static_cast<unsigned>(RingSignal::sizeFor(segmentCount));
  auto object = std::make_shared<VokShm>(RingSignal::nameFor(shmID), size,
                                         std::make_shared<SharedMemoryWrapperLinux>(), true);
  return std::make_shared<RingSignal>(object, segmentCount, true, std::make_shared<FutexWrapperLinux>());
}

std::shared_ptr<RingSignal> attachRingSignal(const std::string& shmID, uint32_t segmentCount,
                                             int providerPid) {
  const std::string name = RingSignal::nameFor(shmID);
  auto functions = std::make_shared<SharedMemoryWrapperLinux>();
  // Asked first, so that an older provider without a signal is no error.
  const int probe = functions->_shm_open(name.c_str(), O_RDONLY, 0);
  if (probe == -1) {
    return runByPass(name, errno == ENOENT ? "is not there" : "cannot be opened");
  }
  functions->_close(probe);
  try {
    auto object = std::make_shared<VokShm>(
        name, static_cast<unsigned>(RingSignal::sizeFor(segmentCount)), functions, false);
    if (!ringOwnerTrusted(object->getOwner(), providerPid)) {
      return runByPass(name, "belongs to an untrusted user");
    }
    return std::make_shared<RingSignal>(object, segmentCount, false,
                                        std::make_shared<FutexWrapperLinux>());
  } catch (const std::exception& e) {
    return runByPass(name, std::string("does not fit: ") + e.what());
  }
}

}  // namespace VOK
