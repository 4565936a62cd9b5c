#pragma once

// Message layer only: this header pulls in nlohmann/json.

#include <list>

#include "ToJsonBase.h"
#include "configurationData.h"

namespace VOK {

// Writes the sign-in document.
class ConfigToJson : public ToJsonBase {
 public:
  ~ConfigToJson() override = default;

  // "Type", "Version" and the app object, requests included.
  void transformConfigurationDataIntoJson(const ConfigurationData& config, json& j) const;
  // Each app object with its provides and its requests.
  void transformApplicationDataListIntoJson(const std::list<ApplicationData>& apps,
                                            json& j) const;
  // o["Requests"][app name] for each request (symbols without "Offset"); nothing if empty.
  void transformRequestsListIntoJson(const std::list<Requests>& requests, json& o) const;
};

}  // namespace VOK
