#include "logFailure.h"

#include "configurationDataFactory.h"
#include "log_datalayer.h"

#include <exception>

bool runLoggingFailure(const std::string& component, const std::function<void()>& body) {
  try {
    body();
    return true;
  } catch (const std::exception& e) {
    log(LOG_ERROR, component, e.what());
  } catch (const ConfigurationDataFactory::AttributeMissingException& e) {
    log(LOG_ERROR, component, e.message);
  } catch (...) {
    log(LOG_ERROR, component, "unknown exception");
  }
  return false;
}
