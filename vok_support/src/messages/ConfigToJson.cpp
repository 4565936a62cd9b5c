#include "ConfigToJson.h"

#include "StringDefs.h"

namespace VOK {

namespace {
namespace Keys = StringDefs::ConfigKeys;
namespace Values = StringDefs::ConfigDefaultValues;
}  // namespace

void ConfigToJson::transformConfigurationDataIntoJson(const ConfigurationData& config,
                                                      json& j) const {
  j[Keys::Type] = config.getDataType();
  j[Keys::Version] = config.getInterfaceVersion();
  transformApplicationDataListIntoJson({config.getAppData()}, j);
}

void ConfigToJson::transformApplicationDataListIntoJson(const std::list<ApplicationData>& apps,
                                                        json& j) const {
  for (const ApplicationData& app : apps) {
    transformApplicationDataIntoJson(app, j);
    transformRequestsListIntoJson(app.getRequests(), j[app.getApplicationName()]);
  }
}

void ConfigToJson::transformRequestsListIntoJson(const std::list<Requests>& requests,
                                                 json& o) const {
  for (const Requests& request : requests) {
    transformShmDescriptionBaseIntoJson(request, Values::TypeOfRequestedData,
                                        o[Keys::Requests][request.getAppName()]);
  }
}

}  // namespace VOK
