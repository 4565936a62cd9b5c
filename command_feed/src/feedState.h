#pragma once

#include <atomic>
#include <mutex>
#include <string>

// Process-wide state shared by the command feed's calls and its publisher.
namespace CommandFeed {

// The application name in the sign-in and the stem of the shared-memory ID.
extern const char* const kAppName;
// The flag of the process's stop source (VOK::processStop()), requested by
// SIGINT or stopPublisher; ends publishing for good.
extern std::atomic<bool>& stopProcess;
// True from a successful connect() until its publisher thread ends.
extern std::atomic<bool> running;
// Held by a publisher for the whole of its sign-in.
extern std::mutex mx;
// A Phase of commandFeed.h, as int.
extern std::atomic<int> phase;
// Records the text of a publisher's early end.
void setFailure(const std::string& text);

}  // namespace CommandFeed
