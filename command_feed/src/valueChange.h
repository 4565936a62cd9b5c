#pragma once

#include <chrono>

// Lets the publisher write as soon as send() changed the values instead of
// at its next pass, once asked to (set_write_on_change). Thread-safe.
namespace CommandFeed {

// Whether a change wakes the publisher; off by default (passes only).
void setWriteOnChange(bool on);
// send() changed the values: wakes a waiting publisher when asked to.
void noteValuesChanged();
// The publisher's pause: up to timeout, or until a change was noted since
// the last pause.
void awaitChangeOrTimeout(std::chrono::nanoseconds timeout);

}  // namespace CommandFeed
