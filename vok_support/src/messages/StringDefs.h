#pragma once

#include <string>

// Every JSON key and fixed value of the messages exchanged with the broker.
// Set during static initialisation and never changed afterwards.
namespace VOK {
namespace StringDefs {

namespace ConfigKeys {
extern const std::string Type;
extern const std::string Description;
extern const std::string Version;
extern const std::string PID;
extern const std::string Manufacturer;
extern const std::string Provides;
extern const std::string Requests;
extern const std::string Signal;
extern const std::string Symbols;
extern const std::string Size;
extern const std::string Offset;
extern const std::string ConfigData;
extern const std::string SegmentLifetime;
extern const std::string ConfigDataResponse;
}  // namespace ConfigKeys

namespace ConfigDefaultValues {
extern const std::string ConnectToVokConfig;
extern const std::string DefaultVersion;
extern const std::string ApplicationData;
extern const std::string DefaultAppDescription;
extern const std::string DefaultManufacturer;
extern const std::string TypeOfProvidedData;
extern const std::string TypeOfRequestedData;
extern const std::string DefaultProvidedDataDescription;
extern const std::string ConfigDataRequest;
}  // namespace ConfigDefaultValues

namespace ResponseKeys {
extern const std::string Type;
extern const std::string Version;
extern const std::string VOKInformation;
extern const std::string VOKPid;
extern const std::string VOKVersion;
extern const std::string Result;
extern const std::string ErrorMessage;
extern const std::string DataProviderAvailable;
extern const std::string PID;
extern const std::string Description;
extern const std::string Manufacturer;
}  // namespace ResponseKeys

namespace ResponseValues {
extern const std::string ResultConnected;
extern const std::string ConnectToVOKResult;
}  // namespace ResponseValues

}  // namespace StringDefs
}  // namespace VOK
