#pragma once

#include "ApplicationData.h"

namespace VOK {

// One app that provides data to the receiver of a reply, as the broker knows it.
class DataProviderInfo {
 public:
  explicit DataProviderInfo(ApplicationData applicationData);

  // The provider's full description.
  const ApplicationData& getApplicationData() const;
  // True exactly when the application names are equal.
  bool operator==(const DataProviderInfo& other) const;

 private:
  ApplicationData applicationData;
};

}  // namespace VOK
