#include "socketConnection.h"

#include <errno.h>

#include <cstring>
#include <utility>

#include "StringDefs.h"
#include "VOKException.h"
#include "configurationDataFactory.h"
#include "log_datalayer.h"
#include "messageFrame.h"
#include "pollPause.h"
#include "receivedText.h"

namespace VOK {

namespace {

const std::string kConnectLocation = "vok_support/src/socketConnection::Connect()";
const std::string kSignInLocation = "vok_support/src/socketConnection/SocketConnection::SignIn()";
const std::string kWaitLocation =
    "vok_support/src/socketConnection/SocketConnection::BusyWaitForVokResponse()";
const std::string kEnvironmentLocation =
    "vok_support/src/socketConnection/SocketConnection::RequestVokEnvironmentConfig()";

// Attempts of every wait, each one poll pause.
const int kAttempts = 101;
// The time slot as the messages state it.
const std::string kTimeSlot = "10";

}  // namespace

SocketConnection::SocketConnection(std::shared_ptr<ISocketHandler> socketHandler)
    : m_SocketHandler(std::move(socketHandler)) {
  if (!m_SocketHandler) {
    throw VOKException("Error: SocketConnection: Socket-Handler-Object must not be null");
  }
}

SocketConnection::~SocketConnection() = default;

void SocketConnection::Connect(unsigned index) {
  int result = 0;
  for (int attempt = 0; !IsConnected() && attempt < kAttempts; ++attempt) {
    errno = 0;
    result = m_SocketHandler->uxclientConnectToServer(index);
    log(LOG_DEBUG, kConnectLocation, std::strerror(errno));
    // A socket file without a listener: the broker is gone; waiting will not help.
    if (result == -ECONNREFUSED) {
      return;
    }
    pollPause();
    if (result > 0) {
      socketFd = result;
    }
  }
  if (!IsConnected()) {
    throw VOKException(kConnectLocation + "No answer from VOK_APP server in the time slot of " +
                       kTimeSlot + " second(s)");
  }
  log(LOG_DEBUG, kConnectLocation + ": granted for socketfd<" + std::to_string(socketFd) + ">",
      std::strerror(errno));
}

bool SocketConnection::IsConnected() const { return socketFd > 0; }

void SocketConnection::Disconnect() {}

void SocketConnection::SignIn(const ConfigurationData& config) {
  log(LOG_DEBUG, kSignInLocation, config.getAppData().getApplicationName());
  if (IsSignedIn()) {
    throw VOKException(kSignInLocation + " Already signed in to VOK. You cannot sign in twice.");
  }
  Connect(0);
  // Without a connection nothing is sent: descriptor 0 is not ours to write to.
  if (!IsConnected()) {
    log(LOG_ERROR, kSignInLocation, "no connection to the VOK_APP, sign-in not sent");
    if (!config.getAppData().getRequests().empty()) {
      throwTimeSlot(config);
    }
    return;
  }
  if (m_SocketHandler->sendString(config.toString(), socketFd) == SocketStatus::kWouldBlock) {
    throw VOKException(kSignInLocation +
                       " Error while sending SignIn string. To long for the underlying buffer");
  }
  BusyWaitForVokResponse(config);
}

bool SocketConnection::IsSignedIn() const {
  return responseData &&
         responseData->getVokInfo().getResult() == StringDefs::ResponseValues::ResultConnected;
}

void SocketConnection::SignOut() {}

Piece SocketConnection::receivePiece(std::string& piece) {
  return m_SocketHandler->recvString(socketFd, piece) == 0 ? Piece::Received : Piece::Nothing;
}

void SocketConnection::BusyWaitForVokResponse(const ConfigurationData& config) {
  const std::list<Requests>& requests = config.getAppData().getRequests();
  int attemptsLeft = kAttempts;
  const auto receive = [this](std::string& piece) { return receivePiece(piece); };
  for (;;) {
    std::string received;
    gatherMessage(received, attemptsLeft, receive, [](std::string& text) {
      text = dropEnvironmentReplies(text);
      return text.find(StringDefs::ResponseKeys::DataProviderAvailable) != std::string::npos &&
             frameOf(text) == Frame::Complete;
    });
    log(LOG_DEBUG, kWaitLocation, " m_SocketHandler->recvString: " + received);
    if (!received.empty()) {
      std::unique_ptr<ResponseData> reply =
          ConfigurationDataFactory::CreateResponseDataFromString(received);
      if (requestListFitsDataProviderList(requests, reply->getDataProviderInfo())) {
        responseData = std::move(reply);
        return;
      }
      log(LOG_ERROR, kWaitLocation, "invalid response data");
    }
    if (attemptsLeft < 1) {
      break;
    }
  }
  if (!requests.empty()) {
    throwTimeSlot(config);
  }
}

void SocketConnection::throwTimeSlot(const ConfigurationData& config) const {
  throw VOKException(kWaitLocation + config.getAppData().getApplicationName() +
                     "(Consumer): The VOK_APP did not confirmed during the time slot of " +
                     kTimeSlot + " second(s)");
}

std::shared_ptr<VokEnvironmentConfig> SocketConnection::RequestVokEnvironmentConfig(
    unsigned index) {
  Connect(index);
  if (!IsConnected()) {
    return nullptr;
  }
  if (m_SocketHandler->sendString(VokEnvironmentConfig::GetRequestVokEnvironmentConfig(),
                                  socketFd) == SocketStatus::kWouldBlock) {
    throw VOKException(kEnvironmentLocation +
                       " Error while sending SignOut string. To long for the underlying buffer");
  }
  // Shorter texts never count, so a stray short piece cannot end the wait.
  const std::size_t enough = StringDefs::ConfigKeys::ConfigDataResponse.size();
  int attemptsLeft = kAttempts;
  std::string received;
  gatherMessage(
      received, attemptsLeft, [this](std::string& piece) { return receivePiece(piece); },
      [enough](std::string& text) {
        return text.size() >= enough && frameOf(text) != Frame::Incomplete;
      });
  log(LOG_DEBUG, kEnvironmentLocation, " m_SocketHandler->recvString: " + received);
  if (received.size() >= enough) {
    return VokEnvironmentConfig::CreateFromString(received);
  }
  log(LOG_ERROR, kEnvironmentLocation,
      "Using default VOK environment config. The VOK_APP did not provide anything valid in the "
      "time slot of " + kTimeSlot + " second(s)");
  return VokEnvironmentConfig::CreateDefault();
}

const ResponseData* SocketConnection::getResponseData() const { return responseData.get(); }

bool SocketConnection::requestListFitsDataProviderList(
    const std::list<Requests>& requests, const std::list<DataProviderInfo>& providers) const {
  return requests.size() == providers.size();
}

}  // namespace VOK
