#include "feedState.h"

namespace CommandFeed {

const char* const kAppName = "Remote_open_control_kit_enabled_target_(Zentor)";
std::atomic<bool> stopProcess{false};
std::atomic<bool> running{false};
std::mutex mx;

}  // namespace CommandFeed
