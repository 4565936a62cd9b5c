#pragma once

#include <string>

// The one line that reports a file of another account standing where this
// process must make its own (a socket file, a shared-memory name), naming
// the path and its owner: what + " " + path + " belongs to uid N (NAME), not
// to this program's user M; remove it as that user or root". Empty when
// nothing is at path or this process's effective user owns it. Links are
// not followed; errno is left as it was.
std::string foreignOwnerRefusal(const std::string& what, const std::string& path);
