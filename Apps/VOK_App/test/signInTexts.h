#pragma once

#include <string>

// Sign-ins as the apps of this system write them.
namespace signin {

// The command feed: provides bramixData under the Zentor name.
inline std::string provider(int pid) {
  return "{\"Remote_open_control_kit_enabled_target_(Zentor)\":{\"Description\":\"\",\"Manufacturer\":\"\",\"PID\":" +
         std::to_string(pid) +
         ",\"Provides\":{\"Remote_open_control_kit_enabled_target_(Zentor)Shm\":{\"Description\":\"Zentor for "
         "Bramix\",\"Signal\":10,\"Symbols\":{\"bramixData\":{\"Offset\":4,\"Size\":15,\"Type\":\"int8_t\"}},"
         "\"Type\":\"Provide\",\"Version\":\"V0.1\"}},\"Type\":\"ApplicationData\",\"Version\":\"0.1\"},\"Type\":"
         "\"ConnectToVOKConfig\",\"Version\":\"0.1\"}";
}

// The servo controller: requests bramixData, under the same name as its provider.
inline std::string consumer(int pid) {
  return "{\"Remote_open_control_kit_enabled_target_(Zentor)\":{\"Description\":\"\",\"Manufacturer\":\"\",\"PID\":" +
         std::to_string(pid) +
         ",\"Requests\":{\"Remote_open_control_kit_enabled_target_(Zentor)\":{\"Description\":\"wish to receive "
         "remote control\",\"Symbols\":{\"bramixData\":{\"Size\":15,\"Type\":\"int8_t\"}},\"Type\":\"Request\","
         "\"Version\":\"0.1\"}},\"Type\":\"ApplicationData\",\"Version\":\"0.1\"},\"Type\":\"ConnectToVOKConfig\","
         "\"Version\":\"0.1\"}";
}

// An app of the given name that provides nothing and requests nothing.
inline std::string bare(const std::string& name, int pid) {
  return "{\"" + name + "\":{\"PID\":" + std::to_string(pid) +
         ",\"Type\":\"ApplicationData\"},\"Type\":\"ConnectToVOKConfig\",\"Version\":\"0.1\"}";
}

}  // namespace signin
