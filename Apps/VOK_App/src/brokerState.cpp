#include "brokerState.h"

namespace broker {

const char callerText[] = "VOK_App/src/main";
const std::string appName = "VOK_App";
const std::string caller = callerText;
volatile bool stopProcess = false;
bool passFailed = false;

}  // namespace broker
