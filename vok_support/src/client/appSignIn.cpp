#include "appSignIn.h"

#include "SocketWrapperLinux.h"
#include "configurationDataFactory.h"
#include "log_datalayer.h"

namespace VOK {

namespace {

// A connection over the Linux layers with the environment configuration
// fetched, and the app's socket line written.
VokConnection openConnection(const AppIdentity& app, const SignInTexts& texts) {
  ConfigurationData config = ConfigurationDataFactory::CreateDefaultConfiguration();
  config.getAppData().setApplicationName(app.name);
  if (!app.description.empty()) {
    config.getAppData().setDescription(app.description);
  }
  VokConnection connection = VokConnection::Create(config.toString());
  connection.RequestVokEnvironmentConfig(app.brokerIndex);
  if (!texts.socketLabel.empty()) {
    log(LOG_INFO, texts.component,
        texts.socketLabel + "<" + std::to_string(connection.getConfig().getSocketfd()) +
            "> called with UserDataStruct size: " + std::to_string(texts.namedSize));
  }
  return connection;
}

// The pid of the first provider in the reply that announces shmID; 0 when none does.
int providerPidOf(const ResponseData* reply, const std::string& shmID) {
  if (reply == nullptr) {
    return 0;
  }
  for (const DataProviderInfo& provider : reply->getDataProviderInfo()) {
    for (const Provides& provide : provider.getApplicationData().getProvides()) {
      if (provide.getShmID() == shmID) {
        return provider.getApplicationData().getPid();
      }
    }
  }
  return 0;
}

void signIn(VokConnection& connection, const SignInTexts& texts, const char* confirmed,
            const char* unconfirmed) {
  connection.Connect();
  log(LOG_INFO, texts.resultComponent, connection.IsConnected() ? confirmed : unconfirmed);
}

std::unique_ptr<BrokerRejoin> rejoinFor(VokConnection& connection, const AppIdentity& app) {
  return std::make_unique<BrokerRejoin>(connection.getConfig(), connection.brokerSocket(), app.brokerIndex,
                                        std::make_shared<SocketWrapperLinux>());
}

}  // namespace

std::optional<Provides> firstProvide(const ResponseData* reply) {
  if (reply == nullptr || reply->getDataProviderInfo().empty()) {
    return std::nullopt;
  }
  const auto& provides = reply->getDataProviderInfo().front().getApplicationData().getProvides();
  if (provides.empty()) {
    return std::nullopt;
  }
  return provides.front();
}

std::unique_ptr<ProviderSession> signInAsProvider(const AppIdentity& app, const RingOffer& ring,
                                                  IVOKBaseDataStruct& data,
                                                  const SignInTexts& texts) {
  VokConnection connection = openConnection(app, texts);
  // The ring exists before the sign-in, so the provide is announced with it.
  ConsistentDataTransfer writer =
      connection.addLifetimeBuffer(ring.shmID, ring.description, ring.version, ring.signal, data,
                                   ring.cycleTimeUs, ring.recordSize);
  signIn(connection, texts, "I am provider sharing memory with consumer",
         "I am provider, missing any consumer");
  std::unique_ptr<BrokerRejoin> rejoin = rejoinFor(connection, app);
  return std::unique_ptr<ProviderSession>(
      new ProviderSession{std::move(connection), std::move(writer), std::move(rejoin)});
}

std::unique_ptr<ConsumerSession> signInAsConsumer(const AppIdentity& app, const Requests& request,
                                                  std::size_t recordSize,
                                                  const SignInTexts& texts,
                                                  const ProvidePicker& pick) {
  VokConnection connection = openConnection(app, texts);
  connection.addRequest(request);
  signIn(connection, texts, "I am consumer reading providers memory",
         "I am consumer, missing any provider");
  std::unique_ptr<BrokerRejoin> rejoin = rejoinFor(connection, app);
  auto session = std::unique_ptr<ConsumerSession>(new ConsumerSession{std::move(connection), {}, std::move(rejoin)});
  const ResponseData* reply = session->connection.getResponse();
  if (std::optional<Provides> provide = pick(reply)) {
    session->reader.emplace(session->connection.connectToExistingLifetimeBuffer(
        provide->getShmID(), recordSize, providerPidOf(reply, provide->getShmID())));
  }
  return session;
}

bool followProvider(ConsumerSession& session, std::size_t recordSize, const std::string& component) {
  if (!session.reader || !session.connection.consumedRingReplaced()) {
    return false;
  }
  try {
    std::optional<ConsistentDataTransfer> next = session.connection.followConsumedRing(recordSize);
    if (!next) {
      return false;  // no record in the new ring yet; the next look tries again
    }
    session.reader.emplace(std::move(*next));
  } catch (const std::exception&) {
    return false;  // a newcomer still laying out its ring; the next look tries again
  }
  log(LOG_INFO, component, "Reading the new ring of a restarted provider");
  return true;
}

}  // namespace VOK
