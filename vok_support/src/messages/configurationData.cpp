#include "configurationData.h"

#include <utility>

#include "ConfigDataSerializer.h"
#include "configurationDataFactory.h"

ConfigurationData::ConfigurationData(std::string dataType, std::string interfaceVersion,
                                     ApplicationData appData, int socketfd)
    : dataType(std::move(dataType)),
      interfaceVersion(std::move(interfaceVersion)),
      appData(std::move(appData)),
      socketfd(socketfd) {}

const std::string& ConfigurationData::getDataType() const { return dataType; }
const std::string& ConfigurationData::getInterfaceVersion() const { return interfaceVersion; }
ApplicationData& ConfigurationData::getAppData() { return appData; }
const ApplicationData& ConfigurationData::getAppData() const { return appData; }
int ConfigurationData::getSocketfd() const { return socketfd; }

std::string ConfigurationData::toString() const {
  VOK::ConfigToJson writer;
  VOK::ConfigDataSerializer serializer(writer);
  return serializer.serializeToString(*this);
}

bool ConfigurationData::isValid() const {
  return ConfigurationDataFactory::validate(toString()) == 0;
}

bool ConfigurationData::operator==(const ConfigurationData& other) const {
  return appData == other.appData;
}
