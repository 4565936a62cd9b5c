#pragma once

#include <optional>
#include <string>

#include "Provides.h"
#include "ResponseData.h"

namespace servo_controller {

// The one provide that the servo controller reads: the reply must name
// exactly one provider with exactly one provide. Otherwise logs
// "Unexpected number of providers" or "Unexpected number of provides" as an
// error under component and returns nothing. A missing reply counts as one
// without providers.
std::optional<Provides> selectProvide(const VOK::ResponseData* reply, const std::string& component);

}  // namespace servo_controller
