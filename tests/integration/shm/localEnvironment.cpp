#include "localEnvironment.h"

#include "SharedMemoryWrapperLinux.h"
#include "configurationDataFactory.h"
#include "shmMapperServerOS.h"

LocalEnvironment::LocalEnvironment(unsigned long long segmentLifetimeMs)
    : segmentLifetimeMs(segmentLifetimeMs) {}

std::shared_ptr<VOK::VokEnvironmentConfig> LocalEnvironment::RequestVokEnvironmentConfig(unsigned) {
  return std::make_shared<VOK::VokEnvironmentConfig>("0.1", segmentLifetimeMs);
}

std::unique_ptr<VOK::VokConnection> localConnection(unsigned long long segmentLifetimeMs) {
  ConfigurationData config = ConfigurationDataFactory::CreateDefaultConfiguration();
  auto connection = std::make_unique<VOK::VokConnection>(
      config, std::make_shared<LocalEnvironment>(segmentLifetimeMs),
      std::make_shared<VOK::ShmMapperServerOS>(std::make_shared<VOK::SharedMemoryWrapperLinux>()));
  connection->RequestVokEnvironmentConfig(0);
  return connection;
}
