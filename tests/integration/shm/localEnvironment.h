#pragma once

#include "ISocketConnection.h"
#include "vokConnection.h"

#include <memory>

// Stands in for the broker where a test needs only the environment
// configuration: hands out a fixed segment lifetime and signs nobody in.
class LocalEnvironment : public VOK::ISocketConnection {
 public:
  explicit LocalEnvironment(unsigned long long segmentLifetimeMs);
  void Connect(unsigned) override {}
  bool IsConnected() const override { return false; }
  void Disconnect() override {}
  void SignIn(const ConfigurationData&) override {}
  bool IsSignedIn() const override { return false; }
  void SignOut() override {}
  std::shared_ptr<VOK::VokEnvironmentConfig> RequestVokEnvironmentConfig(unsigned) override;
  const VOK::ResponseData* getResponseData() const override { return nullptr; }
  void BusyWaitForVokResponse(const ConfigurationData&) override {}

 private:
  unsigned long long segmentLifetimeMs;
};

// A connection object over LocalEnvironment and real shared memory, with the
// environment configuration already fetched.
std::unique_ptr<VOK::VokConnection> localConnection(unsigned long long segmentLifetimeMs);
