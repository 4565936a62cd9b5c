#include "provideSelection.h"

#include "log_datalayer.h"

namespace servo_controller {

std::optional<Provides> selectProvide(const VOK::ResponseData* reply,
                                      const std::string& component) {
  if (reply == nullptr || reply->getDataProviderInfo().size() != 1) {
    log(LOG_ERROR, component, "Unexpected number of providers");
    return std::nullopt;
  }
  const std::list<Provides>& provides =
      reply->getDataProviderInfo().front().getApplicationData().getProvides();
  if (provides.size() != 1) {
    log(LOG_ERROR, component, "Unexpected number of provides");
    return std::nullopt;
  }
  return provides.front();
}

}  // namespace servo_controller
