#include <stdexcept>
#include <utility>

#include "StringDefs.h"
#include "configurationDataFactoryJson.h"

namespace ConfigurationDataFactory {

namespace {
namespace Keys = VOK::StringDefs::ResponseKeys;
namespace Values = VOK::StringDefs::ConfigDefaultValues;
}  // namespace

std::unique_ptr<VOK::ResponseData> CreateResponseDataFromString(const std::string& text) {
  if (text.empty()) {
    throw std::invalid_argument(
        "CreateResponseDataFromString(): parameter vokResponse: string must not be empty.");
  }
  const json doc = json::parse(text, nullptr, false);
  if (doc.is_discarded()) {
    throw std::invalid_argument("CreateResponseDataFromString(): parse json file failed: " + text);
  }
  std::string type = extractString(doc, Keys::Type, true);
  std::string version = extractString(doc, Keys::Version, true);
  VOK::VokInformation info = CreateVokInformation(doc);
  std::list<VOK::DataProviderInfo> providers = CreateDataProviderInfo(doc);
  return std::make_unique<VOK::ResponseData>(std::move(type), std::move(version), std::move(info),
                                             std::move(providers));
}

VOK::VokInformation CreateVokInformation(const json& doc) {
  if (!doc.is_object() || !doc.contains(Keys::VOKInformation)) {
    throw std::invalid_argument(
        "CreateVokInformation(): no VOKInformation avaialbe in json object.");
  }
  const json& o = doc.at(Keys::VOKInformation);
  const int pid = extractInt(o, Keys::VOKPid);
  std::string version = extractString(o, Keys::VOKVersion, false);
  std::string result = extractString(o, Keys::Result, false);
  std::string errorMessage = extractString(o, Keys::ErrorMessage, false);
  return VOK::VokInformation(pid, std::move(version), std::move(result), std::move(errorMessage));
}

std::list<VOK::DataProviderInfo> CreateDataProviderInfo(const json& doc) {
  std::list<VOK::DataProviderInfo> providers;
  if (!doc.is_object() || !doc.contains(Keys::DataProviderAvailable)) {
    return providers;
  }
  const json& d = doc.at(Keys::DataProviderAvailable);
  const std::list<std::string> keys = findKeysForJsonObject(d, Values::ApplicationData, true);
  for (ApplicationData& app : createAppDataList(keys, d)) {
    providers.emplace_back(std::move(app));
  }
  return providers;
}

}  // namespace ConfigurationDataFactory
