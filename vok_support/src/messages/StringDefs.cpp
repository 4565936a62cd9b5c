#include "StringDefs.h"

// One translation unit, so the objects are initialised in the order written here.
namespace VOK {
namespace StringDefs {

namespace ConfigKeys {
const std::string Type = "Type";
const std::string Description = "Description";
const std::string Version = "Version";
const std::string PID = "PID";
const std::string Manufacturer = "Manufacturer";
const std::string Provides = "Provides";
const std::string Requests = "Requests";
const std::string Signal = "Signal";
const std::string Symbols = "Symbols";
const std::string Size = "Size";
const std::string Offset = "Offset";
const std::string ConfigData = "ConfigData";
const std::string SegmentLifetime = "SegmentLifetime";
const std::string ConfigDataResponse = "ConfigDataResponse";
}  // namespace ConfigKeys

namespace ConfigDefaultValues {
const std::string ConnectToVokConfig = "ConnectToVOKConfig";
const std::string DefaultVersion = "0.1";
const std::string ApplicationData = "ApplicationData";
const std::string DefaultAppDescription = "";
const std::string DefaultManufacturer = "";
const std::string TypeOfProvidedData = "Provide";
const std::string TypeOfRequestedData = "Request";
const std::string DefaultProvidedDataDescription = "";
const std::string ConfigDataRequest = "ConfigDataRequest";
}  // namespace ConfigDefaultValues

namespace ResponseKeys {
const std::string Type = ConfigKeys::Type;
const std::string Version = ConfigKeys::Version;
const std::string VOKInformation = "VOKInformation";
const std::string VOKPid = "VOKPid";
const std::string VOKVersion = "VOKVersion";
const std::string Result = "Result";
const std::string ErrorMessage = "ErrorMessage";
const std::string DataProviderAvailable = "DataProviderAvailable";
const std::string PID = "PID";
const std::string Description = "Description";
const std::string Manufacturer = "Manufacturer";
}  // namespace ResponseKeys

namespace ResponseValues {
const std::string ResultConnected = "connected";
const std::string ConnectToVOKResult = "ConnectToVOKResult";
}  // namespace ResponseValues

}  // namespace StringDefs
}  // namespace VOK
