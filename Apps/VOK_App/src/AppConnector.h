#pragma once

#include "DataProviderInfo.h"
#include "ISocketHandler.h"
#include "configurationData.h"

#include <atomic>
#include <list>
#include <memory>
#include <string>

namespace VOK {

// The broker's side of the handshake with one app over one accepted connection.
class AppConnector {
 public:
  // Polls fd (100 polls of at least 10 ms) for the app's sign-in, answering
  // each environment request with getConfigDataResponse(lifetime) on the way.
  // Returns the parsed record, or null when the app
  // sent nothing usable or fd is not open. Throws VOK::VOKException when
  // stop became set while waiting; exceptions of the sign-in reader pass.
  static std::unique_ptr<ConfigurationData> waitForNewAppToConnect(ISocketHandler* server, int fd,
                                                                   unsigned long long lifetime,
                                                                   const std::atomic<bool>& stop);
  // The environment reply: {"ConfigData":{"SegmentLifetime":N},"Type":"ConfigDataResponse","Version":"0.1"}.
  static std::string getConfigDataResponse(unsigned long long lifetime);
  // The connect reply naming providers ("connected", "OK", the broker's pid).
  static std::string CreateResponseDataString(const ConfigurationData& app,
                                              const std::list<DataProviderInfo>& providers);
};

}  // namespace VOK
