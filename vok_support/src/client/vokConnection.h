#pragma once

#include "ConsistentDataTransfer.h"
#include "IShmMapper.h"
#include "IVOKBaseDataStruct.h"
#include "Requests.h"
#include "ResponseData.h"
#include "VokEnvironmentConfig.h"
#include "VokShm.h"
#include "configurationData.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace VOK {

class ISocketConnection;

// An app's one way into the framework: its sign-in description, the
// environment configuration from the broker, the sign-in, and the segment
// rings it provides or reads. Used by one thread. Transfer objects it hands
// out point into memory it keeps mapped: it must outlive them. It holds one
// provided and one consumed ring; a second one of a kind replaces the first.
class VokConnection {
 public:
  // Copies config. Throws VOKException for a null socket connection or mapper.
  VokConnection(ConfigurationData& config, std::shared_ptr<ISocketConnection> socketConnection,
                std::shared_ptr<IShmMapper> mapper);

  // Over the Linux socket and shared-memory layers, with the process's
  // default configuration (its program name and pid).
  static VokConnection Create();
  // The same with the configuration read from a sign-in JSON text; throws
  // VOKException naming the problem when the text yields none.
  static VokConnection Create(const std::string& json);

  // The held configuration; provides and requests go into its ApplicationData.
  ConfigurationData& getConfig();
  // Asks the broker (instance number index, 0 for the first) for the
  // environment configuration and keeps it; it stays empty when the broker
  // refused the connection.
  void RequestVokEnvironmentConfig(unsigned index);
  // The kept environment configuration, possibly empty.
  std::shared_ptr<VokEnvironmentConfig> getVokEnvironmentConfig() const;
  // Signs in with the held configuration. Throws VOKException without an
  // environment configuration; the socket connection's failures pass through.
  void Connect();
  // Whether the broker accepted the sign-in.
  bool IsConnected() const;
  // The broker's reply (still owned by the connection); null before sign-in.
  const ResponseData* getResponse() const;
  // Segment count of the last addLifetimeBuffer; 0 before.
  unsigned getSegmentCount() const;
  // Adds a copy of request to the configuration; call before Connect().
  void addRequest(const Requests& request);

  // Creates the shared-memory object shmID for segmentCount segments of
  // segmentSize bytes (plus the 16-byte header) and registers the provide
  // (replacing one with the same ID). Returns the read-write mapping.
  // Throws VOKException when the object would exceed 4294967295 bytes or
  // cannot be created (an existing name fails with the system's text).
  void* addSharedMemory(const std::string& shmID, const std::string& description,
                        const std::string& version, int signal, IVOKBaseDataStruct& data,
                        unsigned segmentCount, unsigned segmentSize);
  // Provider: creates, registers and lays out a ring sized for a writer that
  // writes one record of segmentSize bytes (sizeof the record type) every
  // cycleTimeUs microseconds. Needs the environment configuration. Throws as
  // calculateSegmentCount and addSharedMemory.
  ConsistentDataTransfer addLifetimeBuffer(const std::string& shmID,
                                           const std::string& description,
                                           const std::string& version, int signal,
                                           IVOKBaseDataStruct& data,
                                           unsigned long long cycleTimeUs, unsigned segmentSize);
  // Consumer: attaches read-only to the ring shmID of the provider with
  // process id providerPid, whose records must be recordSize bytes (sizeof
  // the record type read into). Needs the environment configuration. Throws
  // VOKException when the object is missing (the system's text), belongs to
  // neither the provider's user, this app's user nor root, or its header
  // does not fit the object or the record.
  ConsistentDataTransfer connectToExistingLifetimeBuffer(const std::string& shmID,
                                                         size_t recordSize, int providerPid);
  // Segments a ring needs so that a writer with this cycle time cannot come
  // back to a published segment within the segment lifetime: lifetime * 1000
  // div cycleTimeUs + 3. Needs the environment configuration. Throws
  // VOKException for a cycle time of 0, a lifetime of 0 or of
  // 18446744073709551 ms and more, and a count above 4294967295.
  unsigned calculateSegmentCount(unsigned long long cycleTimeUs) const;
  // Creates shared-memory object name of size bytes read-write and keeps it
  // as the provided one; returns its address.
  void* createSharedMemory(const std::string& name, unsigned size);
  // Attaches read-only to name, the object of the provider providerPid,
  // mapped as far as its ring header says, and keeps it as the consumed one;
  // returns its address. Needs the environment configuration; refuses an
  // object of another owner as connectToExistingLifetimeBuffer does.
  void* connectToExistingShm(const std::string& name, int providerPid);
  // The socket to the broker this app signed in to; 0 when there is none.
  int brokerSocket() const;
  // Whether the consumed ring's name now refers to a new ring, laid out by a
  // provider that took the name over; false without a consumed ring.
  bool consumedRingReplaced() const;
  // Attaches to the new ring under the consumed ring's name, trusting the
  // former ring's owner besides this app's user and root, and returns its
  // reader (records of recordSize bytes) once it holds a record; nothing
  // before, and the former ring stays attached, so that a provider still
  // starting reads as a silent one. Throws as connectToExistingLifetimeBuffer,
  // the former ring kept.
  std::optional<ConsistentDataTransfer> followConsumedRing(size_t recordSize);

 private:
  void* attachRing(const std::string& name, const std::function<bool(uid_t)>& trusted,
                   const std::string& trustedUser);
  void requireEnvironment() const;
  std::shared_ptr<TimeDiffWatchdog> makeWatchdog() const;

  ConfigurationData configuration;
  std::shared_ptr<ISocketConnection> socketConnection;
  std::shared_ptr<IShmMapper> mapper;
  std::shared_ptr<VokShm> providedShm;
  std::shared_ptr<VokShm> consumedShm;
  std::shared_ptr<VokEnvironmentConfig> environment;
  unsigned segmentCount = 0;
};

}  // namespace VOK
