#include "LogConfigData.h"

#include "brokerState.h"
#include "configurationData.h"
#include "log_datalayer.h"

#include <string>

namespace broker {

namespace {

void line(const std::string& text) {
  log(LOG_INFO, caller, text);
}

void logSymbols(const std::list<Symbol>& symbols) {
  for (const Symbol& symbol : symbols) {
    line("symbol-name: " + symbol.getName());
    line("symbol-size: " + std::to_string(symbol.getSizeOf()));
    line("symbol-offset: " + std::to_string(symbol.getOffset()));
    line("symbol-type: " + symbol.getType());
  }
}

}  // namespace

void LogConfigData(ConfigurationData& record) {
  const ApplicationData& app = record.getAppData();
  line(record.getInterfaceVersion());
  line(record.getDataType());
  line("AppData-App-Name: " + app.getApplicationName());
  line("AppData-Pid: " + std::to_string(app.getPid()));
  line("AppData-Description: " + app.getDescription());
  line("AppData-Version: " + app.getApplicationVersion());
  line("AppData-Manufacturer: " + app.getManufacturer());
  line("socketfd: <" + std::to_string(record.getSocketfd()) + ">");
  for (const Provides& provide : app.getProvides()) {
    line("provide-description: " + provide.getDescription());
    line("provide-version: " + provide.getAppVersion());
    line("provide-signal: " + std::to_string(provide.getSignal()));
    line("provide-name: " + provide.getShmID());
    logSymbols(provide.getSymbols());
  }
  line("No. of Request Objects:" + std::to_string(app.getRequests().size()));
  for (const Requests& request : app.getRequests()) {
    line("request-description: " + request.getDescription());
    line("request-version: " + request.getAppVersion());
    logSymbols(request.getSymbols());
  }
}

}  // namespace broker
