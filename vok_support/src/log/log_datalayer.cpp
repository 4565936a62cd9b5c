#include "log_datalayer.h"

#include <unistd.h>

#include <cstring>
#include <iostream>
#include <mutex>
#include <string>

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

// The text with every control character (below 0x20, and 0x7f) written as
// an escape ("\n", "\x1b"), so that text from outside (an app's name, a
// received document in an error) can never start a line of its own. Other
// bytes, UTF-8 included, pass unchanged.
std::string escapedForLog(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      escaped += c;
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\t') {
      escaped += "\\t";
    } else {
      static const char digits[] = "0123456789abcdef";
      escaped += "\\x";
      escaped += digits[byte >> 4];
      escaped += digits[byte & 0xf];
    }
  }
  return escaped;
}

}  // namespace

void log(LOG_CAT category, std::string component, std::string message) {
  if (category == LOG_DEBUG) {
    return;
  }
  // Written whole under one lock: the apps log from several threads, whose
  // lines would otherwise interleave piece by piece.
  const std::string line =
      std::string(prefixOf(category)) + escapedForLog(component) + "): " + escapedForLog(message) + "\n";
  static std::mutex lineLock;
  std::lock_guard<std::mutex> guard(lineLock);
  std::cout << line << std::flush;
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
