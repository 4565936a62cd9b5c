#pragma once

#include <string>

// Log categories; LOG_DEBUG is compiled in but never printed. The underlying
// type is fixed so that any other value (3 and above) is a valid category.
enum LOG_CAT : int { LOG_INFO = 0, LOG_DEBUG = 1, LOG_ERROR = 2 };

// Writes "<prefix>(" + component + "): " + message as one flushed line on
// standard output. Prefix: "Log: " for LOG_INFO, "ERR: " for LOG_ERROR,
// "<noCatSpecified: " for any other value except LOG_DEBUG, which prints nothing.
// Control characters in component and message are written escaped ("\n",
// "\x1b"), so one call is always one line; other texts stay byte for byte.
void log(LOG_CAT category, std::string component, std::string message);

// The same line, written with one write(2) call so that it may be used from
// a signal handler. Both texts must be NUL-terminated and stay valid.
void logSignalSafe(LOG_CAT category, const char* component, const char* message);
