#include "chainMember.h"

std::string ChainMember::label() const {
  const std::string& program = command.front();
  const size_t slash = program.rfind('/');
  return "member " + std::to_string(number) + " (" +
         (slash == std::string::npos ? program : program.substr(slash + 1)) + ")";
}
