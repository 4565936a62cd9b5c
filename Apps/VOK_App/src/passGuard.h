#pragma once

#include <functional>
#include <string>

namespace broker {

// Runs step; an exception ends it and its text (or, outside the standard
// hierarchy, its type name) is logged under component. False when one did.
bool runLogged(const std::string& component, const std::function<void()>& step);

// Runs one broker pass. An exception ends it: its text (or, for exceptions
// outside the standard hierarchy, its type name) is logged under component
// and the process's stop is requested, so the broker shuts down in order; passFailed is set
// too unless the stop signal had already set stopProcess.
void guardPass(const std::string& component, const std::function<void()>& pass);

}  // namespace broker
