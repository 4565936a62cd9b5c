#include "VOKException.h"

namespace VOK {

VOKException::VOKException(const std::string& message) : message(message) {}

const char* VOKException::what() const noexcept { return message.c_str(); }

}  // namespace VOK
