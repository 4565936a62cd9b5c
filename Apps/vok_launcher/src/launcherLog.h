#pragma once

#include "log_datalayer.h"

#include <string>

// "vok_launcher/src/main": the component of the launcher's log lines.
extern const std::string launcherComponent;

// One log line of the launcher under its component.
void launcherLog(LOG_CAT category, const std::string& message);
