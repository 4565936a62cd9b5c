#include "configurationDataFactory.h"

#include <errno.h>
#include <unistd.h>

#include <memory>
#include <stdexcept>
#include <utility>

#include "StringDefs.h"
#include "configurationDataFactoryJson.h"
#include "log_datalayer.h"

namespace ConfigurationDataFactory {

namespace {

namespace Keys = VOK::StringDefs::ConfigKeys;
namespace Values = VOK::StringDefs::ConfigDefaultValues;

const char* const kValidateComponent = "vok_support/src/configurationData";

// Parsed document, or a discarded value when the text is not one strict JSON value.
json parseLocked(const std::string& text) {
  std::lock_guard<std::mutex> lock(mx);
  return json::parse(text, nullptr, false);
}

}  // namespace

std::mutex mx;

AttributeMissingException::AttributeMissingException(std::string text)
    : message(std::move(text)) {}

std::unique_ptr<ConfigurationData> CreateConfigurationFromString(const std::string& text, int socketfd) {
  if (text.empty()) {
    return nullptr;
  }
  const json doc = parseLocked(text);
  if (doc.is_discarded()) {
    return nullptr;
  }
  std::string type = extractString(doc, Keys::Type, true);
  std::string version = extractString(doc, Keys::Version, true);
  const std::string key = findKeyForJsonObject(doc, Values::ApplicationData, true);
  ApplicationData app = createAppData(key, doc);
  return std::make_unique<ConfigurationData>(std::move(type), std::move(version), std::move(app),
                                             socketfd);
}

int validate(std::string text) {
  if (text.size() > MaxConfigurationLength) {
    log(LOG_DEBUG, kValidateComponent,
        "json Configuration Data String ist too long. Maximum allowed size : " +
            std::to_string(MaxConfigurationLength) +
            " json Configuration Data String size: " + std::to_string(text.size()));
    return 2;
  }
  try {
    const std::unique_ptr<ConfigurationData> parsed = CreateConfigurationFromString(text, 0);
    if (!parsed) {
      log(LOG_DEBUG, kValidateComponent, "json Configuration Data String is empty or not json");
      return 1;
    }
  } catch (const AttributeMissingException& e) {
    log(LOG_DEBUG, kValidateComponent, "Mandatory attribute missing. " + e.message);
    return 3;
  } catch (const std::invalid_argument& e) {
    log(LOG_DEBUG, kValidateComponent, e.what());
    return 1;
  }
  return 0;
}

ConfigurationData CreateDefaultConfiguration() {
  ApplicationData app(program_invocation_short_name, getpid(), Values::DefaultAppDescription,
                      Values::DefaultVersion, Values::DefaultManufacturer, {}, {});
  return ConfigurationData(Values::ConnectToVokConfig, Values::DefaultVersion, std::move(app), 0);
}

}  // namespace ConfigurationDataFactory
