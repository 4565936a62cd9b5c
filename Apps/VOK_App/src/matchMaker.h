#pragma once

#include "ApplicationData.h"
#include "DataProviderInfo.h"
#include "appList.h"
#include "configurationData.h"

#include <list>

namespace VOK {

// Finds, for one signed-in app, the signed-in apps that provide what it requests:
// a request names a provider application, matched by exact name.
class MatchMaker {
 public:
  // What candidate contributes to requester: one entry per request naming the
  // candidate (which has provides). A named candidate without provides is
  // logged and ends the examination.
  static std::list<DataProviderInfo> matchRequestsToProvides(const ApplicationData& requester,
                                                             const ApplicationData& candidate);
  // The requester's providers over all signed-in apps (itself included), in
  // sign-in order. Throws VOK::VOKException "Provide is duplicated" when a
  // provider would appear twice.
  static std::list<DataProviderInfo> findDataProviderInfo(const AppList& apps,
                                                          const ConfigurationData& requester);
};

}  // namespace VOK
