#include "VokShm.h"

#include "VOKException.h"
#include "foreignOwner.h"
#include "log_datalayer.h"

#include <fcntl.h>
#include <sys/mman.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace VOK {

namespace {

const char* const kLocation = "VokShm::VokShm()";
const char* const kOpenError = "Error opening a shared memory - Error-Msg: ";
const char* const kTruncateError = "Error truncating a shared memory - Error-Msg: ";
const char* const kMapError = "Error mapping a shared memory - Error-Msg: ";
const char* const kUnmapError = "Error unmapping a shared memory - Error-Msg: ";
const char* const kStatError = "Error reading the status of a shared memory - Error-Msg: ";
// Only the provider writes its ring: the group and others, as far as the
// umask lets them in, may read it (readers open it read-only).
const unsigned kMode = 0644;

std::string errnoText() { return std::strerror(errno); }

[[noreturn]] void logAndThrow(const std::string& message) {
  log(LOG_ERROR, kLocation, message);
  throw VOKException(message);
}

// Where the system keeps a shared-memory name, with or without its leading slash.
std::string shmPath(const std::string& name) {
  return "/dev/shm/" + name.substr(!name.empty() && name[0] == '/' ? 1 : 0);
}

std::string tooSmallText(const std::string& name, size_t held, size_t wanted) {
  return name + " holds " + std::to_string(held) + " bytes, fewer than the " +
         std::to_string(wanted) + " to be mapped";
}

}  // namespace

VokShm::VokShm(std::string name, unsigned size, std::shared_ptr<ISharedMemory> functions,
               bool create)
    : name(std::move(name)), size(size), functions(std::move(functions)), create(create) {
  if (!this->functions) {
    throw std::invalid_argument("Pointer to sharedMemory function wrapper must not be a nullptr");
  }
  int protection = 0;
  int openFlags = 0;
  getFlags(create, protection, openFlags);
  const int descriptor =
      create ? createOwned() : this->functions->_shm_open(this->name.c_str(), openFlags, kMode);
  if (descriptor == -1) {
    // Whatever the call's reason, a name of another account is the cause to report.
    const std::string foreign = create ? foreignOwnerRefusal("The ring name", shmPath(this->name)) : "";
    logAndThrow(kOpenError + (foreign.empty() ? errnoText() : foreign));
  }
  fileDescriptor = descriptor;
  log(LOG_DEBUG, kLocation, "Opened shared memory");
  if (create && this->functions->_ftruncate(fileDescriptor, static_cast<long>(size)) == -1) {
    failConstruction(kTruncateError, errnoText());
  }
  // Mapping past the end of the object would fault on first access, so an
  // object smaller than the wanted mapping is refused here.
  size_t held = 0;
  if (!readObjectSize(held)) {
    failConstruction(kStatError, errnoText());
  }
  if (held < size) {
    failConstruction(kMapError, tooSmallText(this->name, held, size));
  }
  void* mapped = this->functions->_mmap(nullptr, size, protection, MAP_SHARED, fileDescriptor, 0);
  if (mapped == MAP_FAILED || mapped == nullptr) {
    failConstruction(kMapError, errnoText());
  }
  address = mapped;
  log(LOG_DEBUG, kLocation, "Mapped shared memory");
}

VokShm::~VokShm() {
  if (address != nullptr) {
    functions->_munmap(address, size);
  }
  if (create) {
    functions->_shm_unlink(name.c_str());
  }
  ownerLock.reset();
  functions->_close(fileDescriptor);
}

void VokShm::resizeSharedMemory(size_t newSize) {
  size_t held = 0;
  if (!readObjectSize(held)) {
    logAndThrow(kStatError + errnoText());
  }
  if (held < newSize || newSize > std::numeric_limits<uint32_t>::max()) {
    logAndThrow(kMapError + tooSmallText(name, held, newSize));
  }
  if (address != nullptr && functions->_munmap(address, size) != 0) {
    logAndThrow(kUnmapError + errnoText());
  }
  address = nullptr;
  size = static_cast<uint32_t>(newSize);
  int protection = 0;
  int openFlags = 0;
  getFlags(create, protection, openFlags);
  void* mapped = functions->_mmap(nullptr, newSize, protection, MAP_SHARED, fileDescriptor, 0);
  if (mapped == MAP_FAILED || mapped == nullptr) {
    logAndThrow(kMapError + errnoText());
  }
  address = mapped;
}

void* VokShm::getShmAdr() { return address; }

unsigned VokShm::getSize() const { return size; }

const std::string& VokShm::getName() const { return name; }

uid_t VokShm::getOwner() const {
  struct stat status {};
  if (functions->_fstat(fileDescriptor, &status) == -1) {
    logAndThrow(kStatError + errnoText());
  }
  return status.st_uid;
}

bool VokShm::nameRefersElsewhere() const {
  const int named = functions->_shm_open(name.c_str(), O_RDONLY, kMode);
  if (named == -1) {
    return false;
  }
  struct stat now {};
  struct stat mapped {};
  const bool read = functions->_fstat(named, &now) == 0 && functions->_fstat(fileDescriptor, &mapped) == 0;
  functions->_close(named);
  return read && (now.st_ino != mapped.st_ino || now.st_dev != mapped.st_dev);
}

void VokShm::getFlags(bool create, int& protection, int& openFlags) {
  if (create) {
    protection = PROT_READ | PROT_WRITE;
    openFlags = O_RDWR | O_CREAT | O_EXCL;
  } else {
    protection = PROT_READ;
    openFlags = O_RDONLY;
  }
}

int VokShm::createOwned() {
  const int descriptor = createLocked();
  return descriptor == -1 && errno == EEXIST ? replaceStaleObject() : descriptor;
}

// Creates the name exclusively and locks the new object for the owner's life.
// Between the create and the lock a newcomer may take the unlocked object
// for a stale one and replace it; whoever then writes into it writes into a
// ring nobody reads. So the object is kept only when the lock is held on the
// object still under the name (once it is, nobody can replace it); otherwise
// -1 with errno EEXIST, as for a name whose owner lives.
int VokShm::createLocked() {
  int protection = 0;
  int openFlags = 0;
  getFlags(true, protection, openFlags);
  const int descriptor = functions->_shm_open(name.c_str(), openFlags, kMode);
  if (descriptor == -1) {
    return -1;
  }
  ownerLock = std::make_unique<FileLock>(functions, descriptor);
  if (!ownerLock->heldOnNamedFile()) {
    ownerLock.reset();
    functions->_close(descriptor);
    errno = EEXIST;
    return -1;
  }
  return descriptor;
}

// The name exists. Its owner is gone when its lock can be taken and the name
// still refers to that object (another newcomer may have replaced it in the
// meantime). The old lock is kept until the new object is locked, so that no
// two newcomers replace each other. -1 with errno EEXIST while the owner lives.
int VokShm::replaceStaleObject() {
  const int old = functions->_shm_open(name.c_str(), O_RDONLY, kMode);
  if (old == -1) {
    errno = EEXIST;
    return -1;
  }
  int descriptor = -1;
  {
    FileLock formerOwner(functions, old);
    if (formerOwner.heldOnNamedFile()) {
      // The name of another user's object in the sticky /dev/shm is not ours
      // to remove: that cause is reported, not the name's existence.
      if (functions->_shm_unlink(name.c_str()) == 0) {
        descriptor = createLocked();
      }
      if (descriptor != -1) {
        log(LOG_INFO, kLocation, "Replaced the stale ring " + name + " of a provider that is gone");
      }
    } else {
      errno = EEXIST;
    }
  }
  const int cause = errno;
  functions->_close(old);
  errno = cause;
  return descriptor;
}

bool VokShm::readObjectSize(size_t& held) const {
  struct stat status {};
  if (functions->_fstat(fileDescriptor, &status) == -1) {
    return false;
  }
  held = static_cast<size_t>(status.st_size);
  return true;
}

// Releases what the constructor got so far (the descriptor and, on the
// creating side, the name) before reporting, so that no half-built object
// stays behind. The text is taken before the clean-up calls can change errno.
void VokShm::failConstruction(const std::string& prefix, const std::string& detail) {
  const std::string message = prefix + detail;
  if (create) {
    functions->_shm_unlink(name.c_str());
  }
  ownerLock.reset();
  functions->_close(fileDescriptor);
  logAndThrow(message);
}

}  // namespace VOK
