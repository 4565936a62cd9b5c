// Any bytes given to the sign-in reader end in null, a value, or a documented exception;
// a value that can be written again reads back as the same description.

#include <memory>

#include "configurationDataFactoryJson.h"
#include "fuzzSupport.h"

namespace {

using ConfigurationDataFactory::AttributeMissingException;

void checkRoundTrip(const ConfigurationData& parsed, const std::string& input) {
  std::string written;
  try {
    written = parsed.toString();
  } catch (const std::invalid_argument&) {
    return;  // a provide or request without symbols cannot be written
  }
  std::unique_ptr<ConfigurationData> again(
      ConfigurationDataFactory::CreateConfigurationFromString(written, 0));
  if (!again || !(*again == parsed) || again->toString() != written) {
    finding("written sign-in does not read back: " + written, input);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = textOf(data, size);
  try {
    std::unique_ptr<ConfigurationData> parsed(
        ConfigurationDataFactory::CreateConfigurationFromString(text, 4));
    if (parsed) {
      checkRoundTrip(*parsed, text);
    }
    const int code = ConfigurationDataFactory::validate(text);
    if (code < 0 || code > 3 || (code == 0 && !parsed)) {
      finding("validate gave " + std::to_string(code), text);
    }
  } catch (const AttributeMissingException&) {
  } catch (const std::invalid_argument&) {
  } catch (const nlohmann::json::exception&) {
  }
  return 0;
}
