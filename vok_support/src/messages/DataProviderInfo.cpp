#include "DataProviderInfo.h"

#include <utility>

namespace VOK {

DataProviderInfo::DataProviderInfo(ApplicationData applicationData)
    : applicationData(std::move(applicationData)) {}

const ApplicationData& DataProviderInfo::getApplicationData() const { return applicationData; }

bool DataProviderInfo::operator==(const DataProviderInfo& other) const {
  return applicationData.getApplicationName() == other.applicationData.getApplicationName();
}

}  // namespace VOK
