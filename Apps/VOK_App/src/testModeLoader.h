#pragma once

#include <memory>

#include "IDynamicLoader.h"

namespace broker {

// Replaces the loader that test mode uses (tests); throws
// std::invalid_argument when loader is null.
void testModeUseLoader(std::shared_ptr<IDynamicLoader> loader);

}  // namespace broker
