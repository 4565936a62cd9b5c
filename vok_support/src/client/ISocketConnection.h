#pragma once

#include <memory>

#include "ResponseData.h"
#include "VokEnvironmentConfig.h"
#include "configurationData.h"

namespace VOK {

// An app's side of the conversation with the broker: connect, fetch the environment
// configuration, sign in and keep the broker's reply. Used from one thread.
class ISocketConnection {
 public:
  virtual ~ISocketConnection() = default;

  // Connects to broker instance `index` (0: the one found at construction) unless
  // connected. Returns silently without a connection when the broker refuses; throws
  // VOK::VOKException when no connection is made within the attempts.
  virtual void Connect(unsigned index) = 0;
  // Whether a connected descriptor exists.
  virtual bool IsConnected() const = 0;
  // No action: the descriptor stays open until the process ends.
  virtual void Disconnect() = 0;
  // Connects, sends the sign-in and waits for a reply that fits the requests.
  // Throws VOK::VOKException when already signed in, when the sign-in cannot be sent
  // without blocking, and when an app with requests gets no fitting reply in time
  // (at once if there is no connection). An app without requests returns, not signed in,
  // when there is no connection. Reader exceptions of a malformed reply pass through.
  virtual void SignIn(const ConfigurationData& config) = 0;
  // Whether a reply was kept and its result is "connected".
  virtual bool IsSignedIn() const = 0;
  // No action: the broker knows no sign-out message.
  virtual void SignOut() = 0;
  // Connects to instance `index` and returns the broker's environment configuration;
  // the default ("0.1", 10 ms) when nothing usable arrives in time; null when there is
  // no connection. Throws VOK::VOKException when the request cannot be sent without
  // blocking, std::invalid_argument when the reply is not JSON.
  virtual std::shared_ptr<VokEnvironmentConfig> RequestVokEnvironmentConfig(unsigned index) = 0;
  // The kept reply, owned by the connection; null until one is kept.
  virtual const ResponseData* getResponseData() const = 0;
  // The reply wait of SignIn (the sign-in must have been sent); throws as SignIn.
  virtual void BusyWaitForVokResponse(const ConfigurationData& config) = 0;
  // The connected socket to the broker; 0 when there is none.
  virtual int descriptor() const { return 0; }
};

}  // namespace VOK
