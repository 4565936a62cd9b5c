#pragma once

#include <list>
#include <string>

#include "DataProviderInfo.h"
#include "VokInformation.h"

namespace VOK {

// The broker's reply to a sign-in: the broker's information and the matching providers.
class ResponseData {
 public:
  // type: "ConnectToVOKResult"; version: "0.1"; providers may be empty.
  ResponseData(std::string type, std::string version, VokInformation info,
               std::list<DataProviderInfo> providers);

  // The reply type, "ConnectToVOKResult" from the broker.
  const std::string& getType() const;
  // The reply format version, "0.1" from the broker.
  const std::string& getVersion() const;
  // The broker's pid, version and the sign-in result.
  const VokInformation& getVokInfo() const;
  // The matching providers, possibly none.
  const std::list<DataProviderInfo>& getDataProviderInfo() const;

  // The compact JSON reply; without "DataProviderAvailable" when there is no provider.
  // Throws std::invalid_argument for a provide without symbols.
  std::string toString() const;

 private:
  std::string type;
  std::string version;
  VokInformation info;
  std::list<DataProviderInfo> providers;
};

}  // namespace VOK
