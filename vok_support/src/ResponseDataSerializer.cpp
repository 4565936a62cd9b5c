#include "ResponseDataSerializer.h"

namespace VOK {

ResponseDataSerializer::ResponseDataSerializer(const ResponseToJson& writer) : writer(writer) {}

std::string ResponseDataSerializer::serializeToString(const ResponseData& response) {
  json j;
  writer.transformResponseDataIntoJson(response, j);
  return j.dump();
}

}  // namespace VOK
