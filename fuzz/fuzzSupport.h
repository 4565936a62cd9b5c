#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The fuzz input as the text a socket would have delivered.
std::string textOf(const std::uint8_t* data, std::size_t size);

// Stops the harness with a message: an outcome the readers must never produce.
[[noreturn]] void finding(const std::string& what, const std::string& input);
