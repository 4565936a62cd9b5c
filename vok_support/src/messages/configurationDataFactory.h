#pragma once

#include <memory>
#include <string>

#include "ResponseData.h"
#include "configurationData.h"

// Readers of the sign-in and reply documents. The functions that work on parsed JSON
// values are in configurationDataFactoryJson.h, which only the message layer includes.
namespace ConfigurationDataFactory {

// A mandatory JSON member is missing. Deliberately not a std::exception: catch it by type.
class AttributeMissingException {
 public:
  explicit AttributeMissingException(std::string message);
  // The full text, for example "Could not find argument Type in json file - contains failed".
  std::string message;
};

// Longest sign-in document that validate accepts, in bytes (the transport's receive size).
constexpr std::size_t MaxConfigurationLength = 1024;

// Parses a sign-in. Returns the new object, or null for an empty or
// unparsable text (nothing logged). Throws AttributeMissingException or
// std::invalid_argument for a document lacking a mandatory member, and the JSON library's
// type error for a member of the wrong JSON type. Safe to call from several threads.
std::unique_ptr<ConfigurationData> CreateConfigurationFromString(const std::string& text, int socketfd);

// 0: a valid sign-in. 1: invalid argument (std::invalid_argument from the reader), and also
// an empty or unparsable text. 2: longer than MaxConfigurationLength bytes. 3: a mandatory
// attribute missing. The JSON library's type errors propagate.
int validate(std::string text);

// The calling process's starting description: its short program name, getpid(),
// version "0.1", empty description and manufacturer, no provides, no requests.
ConfigurationData CreateDefaultConfiguration();

// Parses a broker reply. Returns the new object; never null. Throws
// std::invalid_argument for an empty or unparsable text or a missing "VOKInformation" or
// "VOKPid", AttributeMissingException for a missing "Type"/"Version" or an empty
// "DataProviderAvailable", and the JSON library's type error for mistyped members.
std::unique_ptr<VOK::ResponseData> CreateResponseDataFromString(const std::string& text);

}  // namespace ConfigurationDataFactory
