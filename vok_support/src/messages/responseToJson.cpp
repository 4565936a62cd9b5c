#include "responseToJson.h"

#include "StringDefs.h"
#include "log_datalayer.h"

namespace VOK {

namespace {
namespace Keys = StringDefs::ResponseKeys;
const char* const kComponent = "responseToJson";
}  // namespace

void ResponseToJson::transformResponseDataIntoJson(const ResponseData& response, json& j) const {
  j[Keys::Type] = response.getType();
  j[Keys::Version] = response.getVersion();
  transformVokInformationIntoJson(response.getVokInfo(), j);
  transformDataProviderInfoIntoJson(response.getDataProviderInfo(), j);
}

void ResponseToJson::transformVokInformationIntoJson(const VokInformation& info, json& j) const {
  json& o = j[Keys::VOKInformation];
  o[Keys::VOKPid] = info.getPid();
  o[Keys::VOKVersion] = info.getVersion();
  o[Keys::Result] = info.getResult();
  o[Keys::ErrorMessage] = info.getErrorMessage();
}

void ResponseToJson::transformDataProviderInfoIntoJson(
    const std::list<DataProviderInfo>& providers, json& j) const {
  log(LOG_DEBUG, kComponent, j.dump());
  if (providers.empty()) {
    log(LOG_DEBUG, kComponent, "empty dataProviderInfo");
    return;
  }
  std::list<ApplicationData> apps;
  for (const DataProviderInfo& provider : providers) {
    apps.push_back(provider.getApplicationData());
  }
  transformApplicationDataListIntoJson(apps, j[Keys::DataProviderAvailable]);
}

void ResponseToJson::transformApplicationDataListIntoJson(const std::list<ApplicationData>& apps,
                                                          json& d) const {
  for (const ApplicationData& app : apps) {
    transformApplicationDataIntoJson(app, d);
  }
}

}  // namespace VOK
