#pragma once

#include <string>

namespace VOK {

// The received text without the environment replies at its front. A reply to an
// environment request that was answered only after the app gave up waiting arrives in
// front of the sign-in reply, often in the same piece; the sign-in reader needs the
// sign-in reply alone. A text that does not begin with a complete environment reply is
// returned unchanged.
std::string dropEnvironmentReplies(const std::string& received);

}  // namespace VOK
