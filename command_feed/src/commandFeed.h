#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>

#include "UserDataStruct.h"
#include "neutralValues.h"

// The provider end of the remote-control path: the current channel values
// and the publisher thread that writes them into shared memory every 150 ms.
namespace CommandFeed {

// Installs the SIGINT handler and starts the publisher thread (sign-in, then
// publishing until SIGINT). 0 when the thread was started; -1 when it could
// not be started or a publisher is already running.
int connect();

// Unlocks all locked memory of the process; 0. The publisher goes on.
int disconnect();

// Replaces the first length bytes of the data area (the 15 values and the
// padding byte) by those at data, of which only the first available bytes
// are read: positions from available up to length become 0. -1 for a length
// above 16 (nothing changes), otherwise push's result; renews the dead-man.
// Throws std::invalid_argument naming the first value outside 0..15 (the
// padding byte is no value); nothing changes then.
int send(const char* data, size_t available, unsigned length);

// Copies length (at most 16) bytes from data to the start of the values
// under the data lock; values beyond length keep theirs. Renews the
// dead-man. 0.
int push(const char* data, unsigned length);

// The longest dead-man time: one hour.
constexpr long long kMaxDeadManMs = 3600000;

// The operator's liveness: when send() has not been called for ms
// milliseconds (counted from this call at the latest), the publisher puts
// the neutral values in force until the next send(). 0 turns it off (the
// default). Throws std::invalid_argument for ms outside 0..kMaxDeadManMs;
// nothing changes then.
void setDeadMan(long long ms);

// The publisher's check once a pass: puts the neutral values in force when
// the dead-man has run out. The time until it runs out; duration::max()
// when it is off or has run out already.
std::chrono::nanoseconds enforceDeadMan();

// Watches SIGINT: it logs "Caught Stop-signal" and ends publishing; the
// host's own handling is replaced.
void installStopHandler();

// Publisher thread body; object is the UserDataStruct to publish.
void* stayAlive(void* object);

// The values that send fills and the publisher publishes; read or write them
// only while holding dataLock().
UserDataStruct& currentValues();
std::mutex& dataLock();

// True while a publisher thread runs.
bool publisherRunning();

// The publisher's last act: no publisher runs any more; wakes stopPublisher.
void publisherEnded();

// Where the publisher stands: Idle before connect(), SigningIn until its
// ring exists and it has signed in, Publishing while it writes, Ended once
// the thread is gone.
enum class Phase { Idle, SigningIn, Publishing, Ended };
Phase publisherPhase();
// Why the last publisher ended early (its error text); empty after an
// orderly stop or while it runs.
std::string publisherFailure();

// The values a publisher writes as its last record before it lets go of
// its ring, and the values in force before the first send() (default:
// defaultNeutralValues()).
ChannelValues neutralValues();
void setNeutralValues(const ChannelValues& values);

// Ends publishing as SIGINT does and waits up to timeoutMs for the
// publisher to write the neutral values and release its ring (and so its
// shared-memory name); whether no publisher runs any more.
bool stopPublisher(unsigned timeoutMs);

}  // namespace CommandFeed
