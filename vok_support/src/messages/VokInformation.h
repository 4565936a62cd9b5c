#pragma once

#include <string>

namespace VOK {

// What the broker says about itself and about the sign-in it answers.
class VokInformation {
 public:
  VokInformation(int pid, std::string version, std::string result, std::string errorMessage);

  // The broker's process id.
  int getPid() const;
  // The broker's version text.
  const std::string& getVersion() const;
  // Outcome of the sign-in; "connected" when accepted.
  const std::string& getResult() const;
  // Text accompanying the result; "OK" with "connected".
  const std::string& getErrorMessage() const;

 private:
  int pid;
  std::string version;
  std::string result;
  std::string errorMessage;
};

}  // namespace VOK
