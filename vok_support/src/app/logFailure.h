#pragma once

#include <functional>
#include <string>

// Runs body at a thread or process boundary, where an escaping exception
// would abort the whole process: any exception it throws (also the sign-in
// reader's AttributeMissingException, which is no std::exception) is logged
// with LOG_ERROR under component and swallowed. Returns whether body ran to
// its end.
bool runLoggingFailure(const std::string& component, const std::function<void()>& body);
