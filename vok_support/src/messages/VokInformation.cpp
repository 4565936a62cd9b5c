#include "VokInformation.h"

#include <utility>

namespace VOK {

VokInformation::VokInformation(int pid, std::string version, std::string result,
                               std::string errorMessage)
    : pid(pid),
      version(std::move(version)),
      result(std::move(result)),
      errorMessage(std::move(errorMessage)) {}

int VokInformation::getPid() const { return pid; }
const std::string& VokInformation::getVersion() const { return version; }
const std::string& VokInformation::getResult() const { return result; }
const std::string& VokInformation::getErrorMessage() const { return errorMessage; }

}  // namespace VOK
