#include "ResponseData.h"

#include <utility>

#include "ResponseDataSerializer.h"

namespace VOK {

ResponseData::ResponseData(std::string type, std::string version, VokInformation info,
                           std::list<DataProviderInfo> providers)
    : type(std::move(type)),
      version(std::move(version)),
      info(std::move(info)),
      providers(std::move(providers)) {}

const std::string& ResponseData::getType() const { return type; }
const std::string& ResponseData::getVersion() const { return version; }
const VokInformation& ResponseData::getVokInfo() const { return info; }
const std::list<DataProviderInfo>& ResponseData::getDataProviderInfo() const { return providers; }

std::string ResponseData::toString() const {
  ResponseToJson writer;
  ResponseDataSerializer serializer(writer);
  return serializer.serializeToString(*this);
}

}  // namespace VOK
