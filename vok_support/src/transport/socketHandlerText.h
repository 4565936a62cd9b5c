#pragma once

#include <string>

// The log component of the socket handler's lines.
inline const std::string kSocketHandlerComponent = "vok_support/src/socketHandler";

// The component of one call on descriptor fd: "component<fd>".
inline std::string componentOnFd(const std::string& component, int fd) {
  return component + "<" + std::to_string(fd) + ">";
}
