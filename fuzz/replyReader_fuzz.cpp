// Any bytes given to the reply reader end in a value or a documented exception (it never
// returns null); a value that can be written again reads back the same.

#include <memory>

#include "configurationDataFactoryJson.h"
#include "fuzzSupport.h"

namespace {

using ConfigurationDataFactory::AttributeMissingException;
using ConfigurationDataFactory::CreateResponseDataFromString;

bool sameReply(const VOK::ResponseData& one, const VOK::ResponseData& other) {
  const VOK::VokInformation& a = one.getVokInfo();
  const VOK::VokInformation& b = other.getVokInfo();
  return one.getType() == other.getType() && one.getVersion() == other.getVersion() &&
         a.getPid() == b.getPid() && a.getVersion() == b.getVersion() &&
         a.getResult() == b.getResult() && a.getErrorMessage() == b.getErrorMessage() &&
         one.getDataProviderInfo() == other.getDataProviderInfo();
}

void checkRoundTrip(const VOK::ResponseData& parsed, const std::string& input) {
  std::string written;
  try {
    written = parsed.toString();
  } catch (const std::invalid_argument&) {
    return;  // a provide without symbols cannot be written
  }
  std::unique_ptr<VOK::ResponseData> again(CreateResponseDataFromString(written));
  if (!again || !sameReply(parsed, *again) || again->toString() != written) {
    finding("written reply does not read back: " + written, input);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = textOf(data, size);
  try {
    std::unique_ptr<VOK::ResponseData> parsed(CreateResponseDataFromString(text));
    if (!parsed) {
      finding("null reply", text);
    }
    checkRoundTrip(*parsed, text);
  } catch (const AttributeMissingException&) {
  } catch (const std::invalid_argument&) {
  } catch (const nlohmann::json::exception&) {
  }
  return 0;
}
