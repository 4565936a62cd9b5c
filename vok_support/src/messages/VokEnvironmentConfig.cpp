#include "VokEnvironmentConfig.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

#include "StringDefs.h"
#include "log_datalayer.h"

namespace VOK {

namespace {

namespace Keys = StringDefs::ConfigKeys;
using json = nlohmann::json;

const char* const kComponent = "vok_support/src/VokEnvironmentConfig::CreateFromString()";
const char* const kDefaultVersion = "0.1";
const unsigned long long kDefaultSegmentLifeTime = 10;

bool isValidReply(const json& doc) {
  if (!doc.is_object() || !doc.contains(Keys::Version) || !doc.contains(Keys::ConfigData)) {
    return false;
  }
  const json& config = doc.at(Keys::ConfigData);
  return doc.at(Keys::Version).is_string() && config.is_object() &&
         config.contains(Keys::SegmentLifetime) &&
         config.at(Keys::SegmentLifetime).is_number_unsigned();
}

}  // namespace

VokEnvironmentConfig::VokEnvironmentConfig(const std::string& version,
                                           unsigned long long segmentLifeTime)
    : version(version), segmentLifeTime(segmentLifeTime) {}

std::string VokEnvironmentConfig::getVersion() const { return version; }
unsigned long long VokEnvironmentConfig::getSegmentLifeTime() const { return segmentLifeTime; }

std::string VokEnvironmentConfig::GetRequestVokEnvironmentConfig() {
  return "{ #011#011#011\"Type\" : \"ConfigDataRequest\", #011#011#011\"Version\" : \"0.1\" "
         "#011#011}";
}

std::shared_ptr<VokEnvironmentConfig> VokEnvironmentConfig::CreateDefault() {
  return std::make_shared<VokEnvironmentConfig>(kDefaultVersion, kDefaultSegmentLifeTime);
}

std::shared_ptr<VokEnvironmentConfig> VokEnvironmentConfig::CreateFromString(
    const std::string& text) {
  const json doc = json::parse(text, nullptr, false);
  if (doc.is_discarded()) {
    throw std::invalid_argument("VokEnvironmentConfig::CreateFromString(): parse json file failed: " +
                                text);
  }
  // An app keeps working with the defaults rather than failing on a reply it cannot use.
  if (!isValidReply(doc)) {
    log(LOG_ERROR, kComponent,
        "environment reply lacks a string Version or an unsigned ConfigData/SegmentLifetime, "
        "using version 0.1 and segment lifetime 10: " + text);
    return CreateDefault();
  }
  return std::make_shared<VokEnvironmentConfig>(
      doc.at(Keys::Version).get<std::string>(),
      doc.at(Keys::ConfigData).at(Keys::SegmentLifetime).get<unsigned long long>());
}

}  // namespace VOK
