#include "ApplicationData.h"

#include <algorithm>
#include <utility>

#include "log_datalayer.h"

namespace {

const char* const kRemoveRequestComponent = "/tevo/vok_support/ApplicationData::tryRemoveRequest";

// Every element of `other` has an element of the same key in `mine`, and the sizes agree.
template <typename Element>
bool sameKeys(const std::list<Element>& mine, const std::list<Element>& other) {
  if (mine.size() != other.size()) {
    return false;
  }
  return std::all_of(other.begin(), other.end(), [&mine](const Element& wanted) {
    return std::find(mine.begin(), mine.end(), wanted) != mine.end();
  });
}

}  // namespace

ApplicationData::ApplicationData(std::string applicationName, int pid, std::string description,
                                 std::string applicationVersion, std::string manufacturer,
                                 std::list<Provides> provides, std::list<Requests> requests)
    : applicationName(std::move(applicationName)),
      pid(pid),
      description(std::move(description)),
      applicationVersion(std::move(applicationVersion)),
      manufacturer(std::move(manufacturer)),
      provides(std::move(provides)),
      requests(std::move(requests)) {}

const std::string& ApplicationData::getApplicationName() const { return applicationName; }
int ApplicationData::getPid() const { return pid; }
const std::string& ApplicationData::getDescription() const { return description; }
const std::string& ApplicationData::getApplicationVersion() const { return applicationVersion; }
const std::string& ApplicationData::getManufacturer() const { return manufacturer; }
const std::list<Provides>& ApplicationData::getProvides() const { return provides; }
const std::list<Requests>& ApplicationData::getRequests() const { return requests; }

void ApplicationData::setApplicationName(std::string value) { applicationName = std::move(value); }
void ApplicationData::setPid(int value) { pid = value; }
void ApplicationData::setDescription(std::string value) { description = std::move(value); }
void ApplicationData::setApplicationVersion(std::string value) {
  applicationVersion = std::move(value);
}
void ApplicationData::setManufacturer(std::string value) { manufacturer = std::move(value); }

void ApplicationData::add(Provides provide) { provides.push_back(std::move(provide)); }
void ApplicationData::add(Requests request) { requests.push_back(std::move(request)); }

// The key is copied first: the argument may be one of the elements being destroyed.
void ApplicationData::remove(const Provides& provide) {
  const std::string key = provide.getShmID();
  provides.remove_if([&key](const Provides& element) { return element == key; });
}

void ApplicationData::remove(const Requests& request) {
  const std::string key = request.getAppName();
  requests.remove_if([&key](const Requests& element) { return element == key; });
}

bool ApplicationData::tryRemoveProvide(const std::string& shmID) {
  auto found = std::find(provides.begin(), provides.end(), shmID);
  if (found == provides.end()) {
    return false;
  }
  remove(*found);
  return true;
}

bool ApplicationData::tryRemoveProvide(const Provides& provide) {
  if (std::find(provides.begin(), provides.end(), provide) == provides.end()) {
    return false;
  }
  remove(provide);
  return true;
}

bool ApplicationData::tryRemoveRequest(const std::string& appName) {
  auto found = std::find(requests.begin(), requests.end(), appName);
  if (found == requests.end()) {
    return false;
  }
  log(LOG_DEBUG, kRemoveRequestComponent, found->getAppName());
  remove(*found);
  return true;
}

bool ApplicationData::tryRemoveRequest(const Requests& request) {
  if (std::find(requests.begin(), requests.end(), request) == requests.end()) {
    return false;
  }
  log(LOG_DEBUG, kRemoveRequestComponent, request.getAppName());
  remove(request);
  return true;
}

bool ApplicationData::operator==(const ApplicationData& other) const {
  return applicationName == other.applicationName && pid == other.pid &&
         description == other.description && applicationVersion == other.applicationVersion &&
         manufacturer == other.manufacturer && sameKeys(provides, other.provides) &&
         sameKeys(requests, other.requests);
}
