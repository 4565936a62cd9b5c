#include "ConfigDataSerializer.h"

namespace VOK {

ConfigDataSerializer::ConfigDataSerializer(const ConfigToJson& writer) : writer(writer) {}

std::string ConfigDataSerializer::serializeToString(const ConfigurationData& config) {
  json j;
  writer.transformConfigurationDataIntoJson(config, j);
  return j.dump();
}

}  // namespace VOK
