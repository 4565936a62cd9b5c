#pragma once

// Message layer only: this header pulls in nlohmann/json.

#include <list>

#include "ResponseData.h"
#include "ToJsonBase.h"

namespace VOK {

// Writes the broker's reply.
class ResponseToJson : public ToJsonBase {
 public:
  ~ResponseToJson() override = default;

  // "Type", "Version", "VOKInformation" and, with providers, "DataProviderAvailable".
  void transformResponseDataIntoJson(const ResponseData& response, json& j) const;
  // j["VOKInformation"] with "VOKPid", "VOKVersion", "Result", "ErrorMessage".
  void transformVokInformationIntoJson(const VokInformation& info, json& j) const;
  // j["DataProviderAvailable"] with one app object per provider; nothing when empty.
  void transformDataProviderInfoIntoJson(const std::list<DataProviderInfo>& providers,
                                         json& j) const;
  // Each app object with its provides; requests are never written into a reply.
  void transformApplicationDataListIntoJson(const std::list<ApplicationData>& apps,
                                            json& d) const;
};

}  // namespace VOK
