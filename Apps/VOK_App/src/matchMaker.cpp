#include "matchMaker.h"

#include "VOKException.h"
#include "log_datalayer.h"

#include <algorithm>

namespace VOK {

namespace {
const std::string kComponent = "Apps/VOK_App/src/matchMaker";
}

std::list<DataProviderInfo> MatchMaker::matchRequestsToProvides(const ApplicationData& requester,
                                                                const ApplicationData& candidate) {
  log(LOG_DEBUG, kComponent, "Connected App: " + requester.getApplicationName());
  std::list<DataProviderInfo> found;
  for (const Requests& request : requester.getRequests()) {
    log(LOG_DEBUG, kComponent, "AppName with requested data: " + request.getAppName());
    if (candidate.getApplicationName() != request.getAppName()) {
      continue;
    }
    if (candidate.getProvides().empty()) {
      log(LOG_ERROR, kComponent, "ApplicationData found but no Provides available");
      break;
    }
    found.emplace_back(candidate);
  }
  return found;
}

std::list<DataProviderInfo> MatchMaker::findDataProviderInfo(const AppList& apps,
                                                             const ConfigurationData& requester) {
  std::list<DataProviderInfo> result;
  for (const auto& app : apps) {
    for (DataProviderInfo& entry : matchRequestsToProvides(requester.getAppData(), app->getAppData())) {
      if (std::find(result.begin(), result.end(), entry) != result.end()) {
        log(LOG_ERROR, kComponent, "Provide is duplicated");
        throw VOKException("Provide is duplicated");
      }
      result.push_back(std::move(entry));
    }
  }
  return result;
}

}  // namespace VOK
