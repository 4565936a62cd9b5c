#pragma once

#include <string>

#include "ApplicationData.h"

// The sign-in message in memory: message type, format version and the app's description.
class ConfigurationData {
 public:
  // socketfd: on the broker the descriptor the message came from; 0 on the app side.
  ConfigurationData(std::string dataType, std::string interfaceVersion, ApplicationData appData,
                    int socketfd);

  // The message type; "ConnectToVOKConfig" for a sign-in.
  const std::string& getDataType() const;
  // The message format version; "0.1".
  const std::string& getInterfaceVersion() const;
  // The app's description; the app side adds its provides and requests through it.
  ApplicationData& getAppData();
  const ApplicationData& getAppData() const;
  // The descriptor passed in when the message was parsed (0 on the app side).
  int getSocketfd() const;

  // The compact JSON sign-in document. Throws std::invalid_argument for a provide or
  // request without symbols, and the JSON library's type error for text not in UTF-8.
  std::string toString() const;
  // Whether toString() passes ConfigurationDataFactory::validate; throws as toString().
  bool isValid() const;

  // Equal exactly when the app data are equal; type, version and descriptor are ignored.
  bool operator==(const ConfigurationData& other) const;

 private:
  std::string dataType;
  std::string interfaceVersion;
  ApplicationData appData;
  int socketfd;
};
