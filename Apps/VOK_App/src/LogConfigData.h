#pragma once

class ConfigurationData;

namespace broker {

// Writes one app's whole sign-in record to the log, one value per line, under "VOK_App/src/main".
void LogConfigData(ConfigurationData& record);

}  // namespace broker
