#pragma once

#include <exception>
#include <string>

namespace VOK {

// The one exception of the support library: a message and nothing else.
class VOKException : public std::exception {
 public:
  explicit VOKException(const std::string& message);
  // The text given at construction; never null.
  const char* what() const noexcept override;

 private:
  std::string message;
};

}  // namespace VOK
