#pragma once

#include "ISocketHandlerFunctions.h"

#include <string>

// Whether the process listening at the other end of the connected socket fd
// runs as this process's user or as root. When it does not, or the kernel
// cannot tell, one error line under component names the socket file.
bool brokerIsTrusted(ISocketHandlerFunctions& functions, int fd, const std::string& socketPath,
                     const std::string& component);
