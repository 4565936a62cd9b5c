#pragma once

#include <string>

// Whether path names a socket file on which a local stream socket listens,
// told without connecting (a broker counts every connection it accepts as an
// app). When the kernel's socket table cannot be read, a socket file counts.
bool isListeningSocketFile(const std::string& path);
