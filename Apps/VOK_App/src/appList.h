#pragma once

#include <list>
#include <memory>

#include "configurationData.h"

// The signed-in apps, in sign-in order. The broker owns their records until
// it shuts down; each record keeps its app's socket descriptor.
using AppList = std::list<std::unique_ptr<ConfigurationData>>;
