#include "brokerState.h"

#include "stopSignalWatcher.h"

namespace broker {

const char callerText[] = "VOK_App/src/main";
const std::string appName = "VOK_App";
const std::string caller = callerText;
std::atomic<bool>& stopProcess = VOK::processStop().flag();
bool passFailed = false;

}  // namespace broker
