#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "StringDefs.h"
#include "configurationDataFactoryJson.h"
#include "log_datalayer.h"

namespace ConfigurationDataFactory {

namespace {

namespace Keys = VOK::StringDefs::ConfigKeys;
namespace Values = VOK::StringDefs::ConfigDefaultValues;

const char* const kComponent = "vok_support/src/configurationDataFactory";

std::string missingArgumentText(const std::string& key) {
  return "Could not find argument " + key + " in json file - contains failed";
}

bool hasMember(const json& j, const std::string& key) { return j.is_object() && j.contains(key); }

// Whether v is an object whose "Type" reads as typeValue; a non-string "Type" throws.
bool hasType(const json& v, const std::string& typeValue) {
  return hasMember(v, Keys::Type) && v.at(Keys::Type).get<std::string>() == typeValue;
}

// Members are only walked in objects: an array or scalar in their place has none.
const json& membersOf(const json& j) {
  static const json none = json::object();
  return j.is_object() ? j : none;
}

const json& requireMember(const json& j, const std::string& key) {
  if (!hasMember(j, key)) {
    const std::string text = missingArgumentText(key);
    log(LOG_ERROR, kComponent, text);
    throw std::invalid_argument(text);
  }
  return j.at(key);
}

// Whether value, when it is a number, has a value of type Number. The library
// converts with static_cast, which wraps integers and is undefined for floats
// outside the target's range; such values are refused before that. A fraction
// inside the range is cut towards zero by the library, as ever.
template <typename Number>
bool fitsInto(const json& value) {
  using Limits = std::numeric_limits<Number>;
  if (value.is_number_unsigned()) {
    return value.get<std::uint64_t>() <= static_cast<std::uint64_t>(Limits::max());
  }
  if (value.is_number_integer()) {
    const std::int64_t number = value.get<std::int64_t>();
    return number < 0 ? Limits::is_signed && number >= static_cast<std::int64_t>(Limits::min())
                      : static_cast<std::uint64_t>(number) <=
                            static_cast<std::uint64_t>(Limits::max());
  }
  if (value.is_number_float()) {
    const double number = value.get<double>();
    const double limit = std::ldexp(1.0, Limits::digits);
    const double lower = Limits::is_signed ? -limit - 1.0 : -1.0;
    return number > lower && number < limit;
  }
  return true;  // not a number: the library's type error follows
}

// The sign-in and reply readers convert every integer here. (The environment reader
// takes its lifetime only as an unsigned JSON integer, which always fits its field.)
template <typename Number>
Number toNumber(const json& value, const std::string& key) {
  if (!fitsInto<Number>(value)) {
    const std::string text = "Value of argument " + key + " in json file is out of range";
    log(LOG_ERROR, kComponent, text);
    throw std::invalid_argument(text);
  }
  return value.get<Number>();
}

template <typename Description>
Description createDescription(const std::string& key, const json& value);

template <>
Provides createDescription<Provides>(const std::string& key, const json& value) {
  extractString(value, Keys::Type, true);
  const int signal = extractInt(value, Keys::Signal);
  std::string description = extractString(value, Keys::Description, false);
  std::string version = extractString(value, Keys::Version, false);
  return Provides(description, version, createSymbolList(value), key, signal);
}

template <>
Requests createDescription<Requests>(const std::string& key, const json& value) {
  extractString(value, Keys::Type, true);
  std::string description = extractString(value, Keys::Description, false);
  std::string version = extractString(value, Keys::Version, false);
  return Requests(description, version, createSymbolList(value), key);
}

template <typename Description>
std::list<Description> createDescriptionList(const json& o, const std::string& listKey,
                                             const std::string& typeValue) {
  std::list<Description> result;
  if (!hasMember(o, listKey)) {
    return result;
  }
  for (const auto& member : membersOf(o.at(listKey)).items()) {
    if (hasType(member.value(), typeValue)) {
      result.push_back(createDescription<Description>(member.key(), member.value()));
    }
  }
  return result;
}

// The keys of the members whose object has "Type" == typeValue, in key order; the walk
// stops at the first match when firstOnly, so later members are not looked at.
std::list<std::string> collectKeys(const json& j, const std::string& typeValue, bool mandatory,
                                   bool firstOnly) {
  std::list<std::string> keys;
  for (const auto& member : membersOf(j).items()) {
    if (hasType(member.value(), typeValue)) {
      keys.push_back(member.key());
      if (firstOnly) {
        return keys;
      }
    }
  }
  if (keys.empty()) {
    const std::string text = "Could not find " + Keys::Type + ", " + typeValue + " in json object.";
    log(LOG_ERROR, kComponent, text);
    if (mandatory) {
      throw AttributeMissingException(text);
    }
  }
  return keys;
}

}  // namespace

std::string findKeyForJsonObject(const json& j, const std::string& typeValue, bool mandatory) {
  std::list<std::string> keys = collectKeys(j, typeValue, mandatory, true);
  return keys.empty() ? std::string() : keys.front();
}

std::list<std::string> findKeysForJsonObject(const json& j, const std::string& typeValue,
                                             bool mandatory) {
  return collectKeys(j, typeValue, mandatory, false);
}

std::string extractString(const json& j, const std::string& key, bool mandatory) {
  if (hasMember(j, key)) {
    return j.at(key).get<std::string>();
  }
  const std::string text = missingArgumentText(key);
  log(LOG_ERROR, kComponent, text);
  if (mandatory) {
    throw AttributeMissingException(text);
  }
  return std::string();
}

int extractInt(const json& j, const std::string& key) {
  return toNumber<int>(requireMember(j, key), key);
}

unsigned long long extractUInt(const json& j, const std::string& key) {
  return toNumber<unsigned long long>(requireMember(j, key), key);
}

std::list<Symbol> createSymbolList(const json& v) {
  if (!hasMember(v, Keys::Symbols)) {
    throw std::invalid_argument(
        "createSymbolList(): Symbols were expected, but not defined in json object.");
  }
  std::list<Symbol> symbols;
  for (const auto& member : membersOf(v.at(Keys::Symbols)).items()) {
    const json& value = member.value();
    if (!value.is_object()) {
      continue;
    }
    std::string type = extractString(value, Keys::Type, true);
    const unsigned long long size = extractUInt(value, Keys::Size);
    const unsigned long long offset =
        value.contains(Keys::Offset) ? extractUInt(value, Keys::Offset) : 0;
    symbols.emplace_back(member.key(), type, size, offset);
  }
  return symbols;
}

std::list<Provides> createProvidesList(const json& o) {
  return createDescriptionList<Provides>(o, Keys::Provides, Values::TypeOfProvidedData);
}

std::list<Requests> createRequestsList(const json& o) {
  return createDescriptionList<Requests>(o, Keys::Requests, Values::TypeOfRequestedData);
}

ApplicationData createAppData(const std::string& key, const json& doc) {
  if (!hasMember(doc, key)) {
    throw std::invalid_argument(
        "createAppData(): wrong key to access ApplicationData object in json: " + key);
  }
  const json& o = doc.at(key);
  if (!hasMember(o, Keys::Type) || o.at(Keys::Type) != Values::ApplicationData) {
    throw std::invalid_argument(
        "createAppData(): ApplicationData object has invalid type in json: " + key);
  }
  const int pid = extractInt(o, Keys::PID);
  std::string description = extractString(o, Keys::Description, false);
  std::string version = extractString(o, Keys::Version, false);
  std::string manufacturer = extractString(o, Keys::Manufacturer, false);
  return ApplicationData(key, pid, description, version, manufacturer, createProvidesList(o),
                         createRequestsList(o));
}

std::list<ApplicationData> createAppDataList(const std::list<std::string>& keys,
                                             const json& doc) {
  std::list<ApplicationData> apps;
  for (const std::string& key : keys) {
    apps.push_back(createAppData(key, doc));
  }
  return apps;
}

}  // namespace ConfigurationDataFactory
