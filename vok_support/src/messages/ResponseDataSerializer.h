#pragma once

// Message layer only: this header pulls in nlohmann/json.

#include "JsonSerializer.h"
#include "responseToJson.h"

namespace VOK {

// Turns a reply into its compact JSON text.
using ResponseDataSerializer =
    JsonSerializer<ResponseToJson, ResponseData, &ResponseToJson::transformResponseDataIntoJson>;

}  // namespace VOK
