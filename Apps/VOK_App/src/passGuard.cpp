#include "passGuard.h"

#include "VOKException.h"
#include "brokerState.h"
#include "log_datalayer.h"
#include "stopSignalWatcher.h"

#include <cxxabi.h>

#include <stdexcept>
#include <typeinfo>

namespace broker {

namespace {

std::string currentExceptionTypeName() {
  const std::type_info* type = abi::__cxa_current_exception_type();
  if (type == nullptr) {
    return "Unexpected Exception catched, shutting down VOK";
  }
  const char* name = type->name();
  return name[0] == '*' ? name + 1 : name;
}

}  // namespace

bool runLogged(const std::string& component, const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const std::invalid_argument& e) {
    log(LOG_ERROR, component, e.what());
  } catch (const VOK::VOKException& e) {
    log(LOG_ERROR, component, e.what());
  } catch (...) {
    log(LOG_ERROR, component, currentExceptionTypeName());
  }
  return false;
}

void guardPass(const std::string& component, const std::function<void()>& pass) {
  if (runLogged(component, pass)) {
    return;
  }
  // A wait that the stop signal broke off is part of an orderly stop.
  if (!stopProcess) {
    passFailed = true;
  }
  VOK::processStop().requestStop();
}

}  // namespace broker
