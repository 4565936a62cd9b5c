#pragma once

#include <functional>
#include <string>

// The text of the E that action throws, or "(nothing thrown)"; an exception
// of another type goes on to the test, which fails on it.
template <typename E>
std::string thrownText(const std::function<void()>& action) {
  try {
    action();
  } catch (const E& e) {
    return e.what();
  }
  return "(nothing thrown)";
}
