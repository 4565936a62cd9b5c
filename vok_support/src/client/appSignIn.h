#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "ConsistentDataTransfer.h"
#include "IVOKBaseDataStruct.h"
#include "Provides.h"
#include "Requests.h"
#include "ResponseData.h"
#include "brokerRejoin.h"
#include "vokConnection.h"

namespace VOK {

// Joining the system in one call. Every app signs in the same way: a
// connection with its name, the environment configuration, its provide or
// request, the sign-in, and for a consumer the ring of the provider the
// reply names. Each app keeps its own log texts (SignInTexts).

// Who signs in, and to which broker.
struct AppIdentity {
  // description empty: the default configuration's; brokerIndex for the
  // environment request, 0 being the first broker found.
  AppIdentity(std::string name, std::string description = "", unsigned brokerIndex = 0)
      : name(std::move(name)), description(std::move(description)), brokerIndex(brokerIndex) {}
  std::string name;
  std::string description;
  unsigned brokerIndex;
};

// The app's own lines around its sign-in.
struct SignInTexts {
  // Component of the socket line, written once the environment is known:
  // socketLabel + "<" + descriptor + "> called with UserDataStruct size: " +
  // namedSize. An empty label writes no such line.
  std::string component;
  std::string socketLabel;
  unsigned long long namedSize = 0;
  // Component of the line that says whether the broker confirmed ("I am
  // consumer reading providers memory", "I am provider, missing any
  // consumer", ...).
  std::string resultComponent;
};

// The one ring a provider announces, and how fast it writes it.
struct RingOffer {
  std::string shmID;        // the shared-memory object's name and the provide's key
  std::string description;  // of the provide
  std::string version;      // of the provide
  int signal = 0;
  unsigned long long cycleTimeUs = 0;  // one record written per cycle
  unsigned recordSize = 0;             // sizeof the record type
};

// A signed-in provider. The connection owns the ring that writer fills, so
// the two live and die together; destroying the session removes the ring.
// The session signs the app in again whenever its broker is replaced.
struct ProviderSession {
  VokConnection connection;
  ConsistentDataTransfer writer;
  std::unique_ptr<BrokerRejoin> rejoin;
};

// A signed-in consumer and the reader of its provider's ring; no reader when
// the reply named nothing to attach to. The connection keeps the ring mapped.
struct ConsumerSession {
  VokConnection connection;
  std::optional<ConsistentDataTransfer> reader;
  std::unique_ptr<BrokerRejoin> rejoin;
};

// Picks from the broker's reply (null when there is none) the provide to
// attach to; nothing when none fits (the picker logs why, in the app's words).
using ProvidePicker = std::function<std::optional<Provides>(const ResponseData* reply)>;

// The first provide of the first provider in the reply; nothing without one.
std::optional<Provides> firstProvide(const ResponseData* reply);

// Provider: creates the ring for data (announced with data's symbols), signs
// in and returns the session whose writer fills the ring. Throws what the
// connection object throws (no broker, ring name taken, bad cycle time).
std::unique_ptr<ProviderSession> signInAsProvider(const AppIdentity& app, const RingOffer& ring,
                                                  IVOKBaseDataStruct& data,
                                                  const SignInTexts& texts);

// Consumer: signs in with request, then attaches to the ring of the provide
// that pick chooses; its records must be recordSize bytes. Throws what the
// connection object throws (no broker, no reply in time, ring missing or of
// a user other than the provider's).
std::unique_ptr<ConsumerSession> signInAsConsumer(const AppIdentity& app, const Requests& request,
                                                  std::size_t recordSize,
                                                  const SignInTexts& texts,
                                                  const ProvidePicker& pick = firstProvide);

// Consumer: when the ring session reads has been replaced by a restarted
// provider under the same name, attaches to the new ring (one log line under
// component) and returns true. A ring not yet laid out or without a record
// is tried again on the next call; until then the reader stays on the former
// ring, which no longer moves.
bool followProvider(ConsumerSession& session, std::size_t recordSize, const std::string& component);

}  // namespace VOK
