#include "vokConnection.h"

#include "ISocketConnection.h"
#include "SharedMemoryWrapperLinux.h"
#include "SocketWrapperLinux.h"
#include "VOKException.h"
#include "configurationDataFactory.h"
#include "log_datalayer.h"
#include "ringOwner.h"
#include "shmMapperServerOS.h"
#include "socketConnection.h"
#include "socketHandler.h"

#include <cstdint>
#include <limits>
#include <stdexcept>

namespace VOK {

namespace {

const char* const kLocation = "vok_support/src/vokConnection";
const uint64_t kMaxObjectSize = std::numeric_limits<uint32_t>::max();
const unsigned long long kLifetimeLimit = std::numeric_limits<uint64_t>::max() / 1000;

[[noreturn]] void logAndThrow(const std::string& message) {
  log(LOG_ERROR, kLocation, message);
  throw VOKException(message);
}

// The configuration of a sign-in text, or a VOKException that says why there is none.
ConfigurationData configurationFrom(const std::string& json) {
  const std::string problem = "VokConnection::Create: no sign-in configuration in the given text: ";
  std::unique_ptr<ConfigurationData> parsed;
  try {
    parsed = ConfigurationDataFactory::CreateConfigurationFromString(json, 0);
  } catch (const ConfigurationDataFactory::AttributeMissingException& e) {
    throw VOKException(problem + e.message);
  } catch (const std::exception& e) {
    throw VOKException(problem + e.what());
  }
  if (!parsed) {
    throw VOKException(problem + (json.empty() ? "the text is empty" : "the text is not JSON"));
  }
  return *parsed;
}

VokConnection createOver(ConfigurationData configuration) {
  auto handler = std::make_shared<SocketHandler>(std::make_shared<SocketWrapperLinux>(), 0);
  auto socketConnection = std::make_shared<SocketConnection>(handler);
  auto mapper = std::make_shared<ShmMapperServerOS>(std::make_shared<SharedMemoryWrapperLinux>());
  return VokConnection(configuration, socketConnection, mapper);
}

}  // namespace

VokConnection::VokConnection(ConfigurationData& config,
                             std::shared_ptr<ISocketConnection> socketConnection,
                             std::shared_ptr<IShmMapper> mapper)
    : configuration(config), socketConnection(std::move(socketConnection)), mapper(std::move(mapper)) {
  if (!this->socketConnection) {
    throw VOKException("Error: VokConnection: Socket-Connection-Object must not be null");
  }
  if (!this->mapper) {
    throw VOKException("Error: VokConnection: Shared-Memory-Mapper-Object must not be null");
  }
}

VokConnection VokConnection::Create() {
  return createOver(ConfigurationDataFactory::CreateDefaultConfiguration());
}

// The text is read before any socket is made, so a bad text fails alone.
VokConnection VokConnection::Create(const std::string& json) {
  return createOver(configurationFrom(json));
}

ConfigurationData& VokConnection::getConfig() { return configuration; }

void VokConnection::RequestVokEnvironmentConfig(unsigned index) {
  environment = socketConnection->RequestVokEnvironmentConfig(index);
  if (environment) {
    log(LOG_DEBUG, kLocation,
        "VokEnvironmentConfig::SegmentLifeTime = " + std::to_string(environment->getSegmentLifeTime()));
  }
}

std::shared_ptr<VokEnvironmentConfig> VokConnection::getVokEnvironmentConfig() const {
  return environment;
}

void VokConnection::Connect() {
  requireEnvironment();
  socketConnection->SignIn(configuration);
}

bool VokConnection::IsConnected() const { return socketConnection->IsSignedIn(); }

const ResponseData* VokConnection::getResponse() const { return socketConnection->getResponseData(); }

unsigned VokConnection::getSegmentCount() const { return segmentCount; }

void VokConnection::addRequest(const Requests& request) { configuration.getAppData().add(request); }

void* VokConnection::addSharedMemory(const std::string& shmID, const std::string& description,
                                     const std::string& version, int signal,
                                     IVOKBaseDataStruct& data, unsigned segmentCount,
                                     unsigned segmentSize) {
  // Computed wide: in 32 bits a large ring would wrap to a small object that
  // laying out the ring then overruns.
  const uint64_t size = 16 + static_cast<uint64_t>(segmentCount) * segmentSize;
  if (size > kMaxObjectSize) {
    logAndThrow("Shared memory with ID: " + shmID + " would need " + std::to_string(size) +
                " bytes, more than " + std::to_string(kMaxObjectSize));
  }
  void* address = createSharedMemory(shmID, static_cast<unsigned>(size));
  ApplicationData& application = configuration.getAppData();
  if (application.tryRemoveProvide(shmID)) {
    log(LOG_DEBUG, kLocation, "Provide element will be overwritten in configuration");
  }
  application.add(Provides(description, version, data.getSymbolList(), shmID, signal));
  log(LOG_INFO, "VokConnection::addSharedMemory()",
      description + (address != nullptr ? " success" : " error"));
  return address;
}

ConsistentDataTransfer VokConnection::addLifetimeBuffer(const std::string& shmID,
                                                        const std::string& description,
                                                        const std::string& version, int signal,
                                                        IVOKBaseDataStruct& data,
                                                        unsigned long long cycleTimeUs,
                                                        unsigned segmentSize) {
  requireEnvironment();
  segmentCount = calculateSegmentCount(cycleTimeUs);
  void* address =
      addSharedMemory(shmID, description, version, signal, data, segmentCount, segmentSize);
  std::shared_ptr<TimeDiffWatchdog> watchdog = makeWatchdog();
  log(LOG_DEBUG, kLocation,
      "Segments: " + std::to_string(segmentCount) + " Size: " + std::to_string(segmentSize) +
          " lifetime sufficient: " + (watchdog->TimeOut() ? "no" : "yes"));
  return ConsistentDataTransfer(segmentCount, address, segmentSize, watchdog);
}

ConsistentDataTransfer VokConnection::connectToExistingLifetimeBuffer(const std::string& shmID,
                                                                      size_t recordSize,
                                                                      int providerPid) {
  void* address = connectToExistingShm(shmID, providerPid);
  if (address == nullptr) {
    logAndThrow("Error while connecting to existing shared memory with ID: " + shmID);
  }
  return ConsistentDataTransfer(address, consumedShm->getSize(), recordSize, makeWatchdog());
}

unsigned VokConnection::calculateSegmentCount(unsigned long long cycleTimeUs) const {
  requireEnvironment();
  const std::string& description = configuration.getAppData().getDescription();
  if (cycleTimeUs == 0) {
    throw VOKException(description + ": VokConnection::calculateSegmentCount, Invalid segmentLifetime");
  }
  const unsigned long long lifetime = environment->getSegmentLifeTime();
  if (lifetime == 0 || lifetime >= kLifetimeLimit) {
    throw VOKException(description + ": VokConnection::calculateSegmentCount, segmentLifeTime:" +
                       std::to_string(lifetime));
  }
  const uint64_t count = static_cast<uint64_t>(lifetime) * 1000 / cycleTimeUs + 3;
  if (count > std::numeric_limits<uint32_t>::max()) {
    throw VOKException(
        "Calculated segment-count from cycleTimeInMicroSeconds and segmentLifetime bigger than "
        "allowed; Maximum allowed = " +
        std::to_string(std::numeric_limits<uint32_t>::max()) + "Currently calculated:" +
        std::to_string(count));
  }
  log(LOG_DEBUG, "VokConnection::calculateSegmentCount", std::to_string(count));
  return static_cast<unsigned>(count);
}

void* VokConnection::createSharedMemory(const std::string& name, unsigned size) {
  std::shared_ptr<VokShm> created = mapper->provideShm(name, true, size);
  if (!created) {
    logAndThrow("Error while creating shared memory with ID: " + name);
  }
  providedShm = created;
  return providedShm->getShmAdr();
}

// Maps the header first to learn the ring's size, then the whole ring. The
// size is computed wide and the object refuses a mapping beyond its end, so
// a ring that does not fit its object is an exception, not a fault. The
// consumed object is replaced only once the new one is mapped.
void* VokConnection::connectToExistingShm(const std::string& name, int providerPid) {
  return attachRing(
      name, [providerPid](uid_t owner) { return ringOwnerTrusted(owner, providerPid); },
      "the user of its provider (pid " + std::to_string(providerPid) + ")");
}

int VokConnection::brokerSocket() const { return socketConnection->descriptor(); }

bool VokConnection::consumedRingReplaced() const { return consumedShm && consumedShm->nameRefersElsewhere(); }

std::optional<ConsistentDataTransfer> VokConnection::followConsumedRing(size_t recordSize) {
  // The former ring stays mapped until the new one reads: its reader is still in use.
  const std::shared_ptr<VokShm> former = consumedShm;
  const uid_t formerOwner = former->getOwner();
  try {
    void* address = attachRing(
        former->getName(), [formerOwner](uid_t owner) { return owner == formerOwner || ringOwnerTrusted(owner, 0); },
        "the user of its former ring (uid " + std::to_string(formerOwner) + ")");
    ConsistentDataTransfer reader(address, consumedShm->getSize(), recordSize, makeWatchdog());
    if (reader.newestSegment()) {
      return reader;
    }
  } catch (...) {
    consumedShm = former;
    throw;
  }
  consumedShm = former;
  return std::nullopt;
}

void* VokConnection::attachRing(const std::string& name, const std::function<bool(uid_t)>& trusted,
                                const std::string& trustedUser) {
  requireEnvironment();
  std::shared_ptr<VokShm> attached = mapper->provideShm(name, false, sizeof(BufferHeader));
  if (!attached) {
    logAndThrow("Error while connecting to existing shared memory with ID: " + name);
  }
  const uid_t owner = attached->getOwner();
  if (!trusted(owner)) {
    logAndThrow("Shared memory with ID: " + name + " belongs to uid " + std::to_string(owner) + ", neither to " +
                trustedUser + ", this app's user nor root");
  }
  const auto* header = static_cast<const BufferHeader*>(attached->getShmAdr());
  const uint64_t size = 16 + static_cast<uint64_t>(header->segmentCount) * header->segmentSize;
  if (size > kMaxObjectSize) {
    logAndThrow("Shared memory with ID: " + name + " announces a ring of " + std::to_string(size) +
                " bytes, more than " + std::to_string(kMaxObjectSize));
  }
  mapper->resizeShm(attached, static_cast<unsigned>(size));
  consumedShm = attached;
  return consumedShm->getShmAdr();
}

void VokConnection::requireEnvironment() const {
  if (!environment) {
    throw VOKException(
        "VokConnection does not contain VokEnvironmentConfig. Please call "
        "VokConnection::getVokEnvironmentConfig() first.");
  }
}

std::shared_ptr<TimeDiffWatchdog> VokConnection::makeWatchdog() const {
  return std::make_shared<TimeDiffWatchdog>(environment->getSegmentLifeTime(),
                                            new ClockUtils(new ClockWrapperLinux()));
}

}  // namespace VOK
