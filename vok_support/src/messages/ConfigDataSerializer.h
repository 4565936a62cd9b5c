#pragma once

// Message layer only: this header pulls in nlohmann/json.

#include "ConfigToJson.h"
#include "JsonSerializer.h"

namespace VOK {

// Turns a sign-in into its compact JSON text.
using ConfigDataSerializer =
    JsonSerializer<ConfigToJson, ConfigurationData, &ConfigToJson::transformConfigurationDataIntoJson>;

}  // namespace VOK
