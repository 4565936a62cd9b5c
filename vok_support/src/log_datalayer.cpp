#include "log_datalayer.h"

#include <unistd.h>

#include <cstring>
#include <iostream>

namespace {

const char* prefixOf(LOG_CAT category) {
  switch (category) {
    case LOG_INFO:
      return "Log: (";
    case LOG_ERROR:
      return "ERR: (";
    default:
      return "<noCatSpecified: (";
  }
}

// Appends text to a fixed buffer without allocating; returns the new length.
size_t append(char* buffer, size_t used, size_t capacity, const char* text) {
  size_t length = std::strlen(text);
  if (length > capacity - used) {
    length = capacity - used;
  }
  std::memcpy(buffer + used, text, length);
  return used + length;
}

}  // namespace

void log(LOG_CAT category, std::string component, std::string message) {
  if (category == LOG_DEBUG) {
    return;
  }
  std::cout << prefixOf(category) << component << "): " << message << std::endl;
}

void logSignalSafe(LOG_CAT category, const char* component, const char* message) {
  if (category == LOG_DEBUG) {
    return;
  }
  char line[512];
  const size_t capacity = sizeof(line);
  size_t used = append(line, 0, capacity, prefixOf(category));
  used = append(line, used, capacity, component);
  used = append(line, used, capacity, "): ");
  used = append(line, used, capacity, message);
  used = append(line, used, capacity, "\n");
  const char* next = line;
  while (used > 0) {
    ssize_t written = ::write(STDOUT_FILENO, next, used);
    if (written <= 0) {
      return;
    }
    next += written;
    used -= static_cast<size_t>(written);
  }
}
