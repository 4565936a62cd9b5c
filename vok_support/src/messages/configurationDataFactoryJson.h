#pragma once

// Message layer only: this header pulls in nlohmann/json, which is slow to compile.
// Everything outside the message layer uses configurationDataFactory.h instead.

#include <list>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>

#include "configurationDataFactory.h"

namespace ConfigurationDataFactory {

using json = nlohmann::json;

// Serialises the sign-in parse; never held when a function of the factory returns.
extern std::mutex mx;

// Key of the first member (in key order) whose object has "Type" == typeValue. None:
// logs, then throws AttributeMissingException if mandatory, else returns "".
// A non-string "Type" throws the JSON library's type error.
std::string findKeyForJsonObject(const json& j, const std::string& typeValue, bool mandatory);
// Keys of all such members, in key order; none is handled as in findKeyForJsonObject.
std::list<std::string> findKeysForJsonObject(const json& j, const std::string& typeValue,
                                             bool mandatory);
// The string member `key`. Missing: logs, then throws AttributeMissingException if
// mandatory, else returns "". Another JSON type throws the library's type error.
std::string extractString(const json& j, const std::string& key, bool mandatory);
// The number member `key` as int. Missing, or a value outside int's range
// (never wrapped): logs and throws std::invalid_argument. Non-numbers throw
// the library's type error.
int extractInt(const json& j, const std::string& key);
// As extractInt, for an unsigned 64-bit number.
unsigned long long extractUInt(const json& j, const std::string& key);
// The members of v["Symbols"] in key order; "Offset" defaults to 0.
// No "Symbols": std::invalid_argument.
std::list<Symbol> createSymbolList(const json& v);
// The "Provide" members of o["Provides"] in key order; none without "Provides".
std::list<Provides> createProvidesList(const json& o);
// The "Request" members of o["Requests"] in key order; none without "Requests".
std::list<Requests> createRequestsList(const json& o);
// The app object doc[key]; the key becomes the application name.
// Absent key or wrong "Type": std::invalid_argument.
ApplicationData createAppData(const std::string& key, const json& doc);
// createAppData for each key, in list order.
std::list<ApplicationData> createAppDataList(const std::list<std::string>& keys,
                                             const json& doc);

// doc["VOKInformation"]; absent: std::invalid_argument; "VOKPid" mandatory.
VOK::VokInformation CreateVokInformation(const json& doc);
// The apps of doc["DataProviderAvailable"] in key order; none when it is absent.
// Present without an app object: AttributeMissingException.
std::list<VOK::DataProviderInfo> CreateDataProviderInfo(const json& doc);

}  // namespace ConfigurationDataFactory
