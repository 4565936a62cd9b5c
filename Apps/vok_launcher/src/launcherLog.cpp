#include "launcherLog.h"

const std::string launcherComponent = "vok_launcher/src/main";

void launcherLog(LOG_CAT category, const std::string& message) { log(category, launcherComponent, message); }
