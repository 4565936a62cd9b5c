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

const std::string ConnectLocation = "vok_support/src/socketConnection::Connect()";
const std::string SignInLocation = "vok_support/src/socketConnection/SocketConnection::SignIn()";
const std::string WaitLocation =
    "vok_support/src/socketConnection/SocketConnection::BusyWaitForVokResponse()";
const std::string EnvironmentLocation =
    "vok_support/src/socketConnection/SocketConnection::RequestVokEnvironmentConfig()";

// Attempts of every wait, each one poll pause.
const int Attempts = 101;
// The handler's code for a send that would block.
const int WouldBlock = 11;
// The time slot as the messages state it.
const std::string TimeSlot = "10";

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
  for (int attempt = 0; !IsConnected() && attempt < Attempts; ++attempt) {
    errno = 0;
    result = m_SocketHandler->uxclientConnectToServer(index);
    log(LOG_DEBUG, ConnectLocation, std::strerror(errno));
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
    throw VOKException(ConnectLocation + "No answer from VOK_APP server in the time slot of " +
                       TimeSlot + " second(s)");
  }
  log(LOG_DEBUG, ConnectLocation + ": granted for socketfd<" + std::to_string(socketFd) + ">",
      std::strerror(errno));
}

bool SocketConnection::IsConnected() const { return socketFd > 0; }

void SocketConnection::Disconnect() {}

void SocketConnection::SignIn(const ConfigurationData& config) {
  log(LOG_DEBUG, SignInLocation, config.getAppData().getApplicationName());
  if (IsSignedIn()) {
    throw VOKException(SignInLocation + " Already signed in to VOK. You cannot sign in twice.");
  }
  Connect(0);
  // Without a connection nothing is sent: descriptor 0 is not ours to write to.
  if (!IsConnected()) {
    log(LOG_ERROR, SignInLocation, "no connection to the VOK_APP, sign-in not sent");
    if (!config.getAppData().getRequests().empty()) {
      throwTimeSlot(config);
    }
    return;
  }
  if (m_SocketHandler->sendString(config.toString(), socketFd) == WouldBlock) {
    throw VOKException(SignInLocation +
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
  int attemptsLeft = Attempts;
  const auto receive = [this](std::string& piece) { return receivePiece(piece); };
  for (;;) {
    std::string received;
    gatherMessage(received, attemptsLeft, receive, [](std::string& text) {
      text = dropEnvironmentReplies(text);
      return text.find(StringDefs::ResponseKeys::DataProviderAvailable) != std::string::npos &&
             frameOf(text) == Frame::Complete;
    });
    log(LOG_DEBUG, WaitLocation, " m_SocketHandler->recvString: " + received);
    if (!received.empty()) {
      std::unique_ptr<ResponseData> reply =
          ConfigurationDataFactory::CreateResponseDataFromString(received);
      if (requestListFitsDataProviderList(requests, reply->getDataProviderInfo())) {
        responseData = std::move(reply);
        return;
      }
      log(LOG_ERROR, WaitLocation, "invalid response data");
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
  throw VOKException(WaitLocation + config.getAppData().getApplicationName() +
                     "(Consumer): The VOK_APP did not confirmed during the time slot of " +
                     TimeSlot + " second(s)");
}

std::shared_ptr<VokEnvironmentConfig> SocketConnection::RequestVokEnvironmentConfig(
    unsigned index) {
  Connect(index);
  if (!IsConnected()) {
    return nullptr;
  }
  if (m_SocketHandler->sendString(VokEnvironmentConfig::GetRequestVokEnvironmentConfig(),
                                  socketFd) == WouldBlock) {
    throw VOKException(EnvironmentLocation +
                       " Error while sending SignOut string. To long for the underlying buffer");
  }
  // Shorter texts never count, so a stray short piece cannot end the wait.
  const std::size_t enough = StringDefs::ConfigKeys::ConfigDataResponse.size();
  int attemptsLeft = Attempts;
  std::string received;
  gatherMessage(
      received, attemptsLeft, [this](std::string& piece) { return receivePiece(piece); },
      [enough](std::string& text) {
        return text.size() >= enough && frameOf(text) != Frame::Incomplete;
      });
  log(LOG_DEBUG, EnvironmentLocation, " m_SocketHandler->recvString: " + received);
  if (received.size() >= enough) {
    return VokEnvironmentConfig::CreateFromString(received);
  }
  log(LOG_ERROR, EnvironmentLocation,
      "Using default VOK environment config. The VOK_APP did not provide anything valid in the "
      "time slot of " + TimeSlot + " second(s)");
  return VokEnvironmentConfig::CreateDefault();
}

const ResponseData* SocketConnection::getResponseData() const { return responseData.get(); }

bool SocketConnection::requestListFitsDataProviderList(
    const std::list<Requests>& requests, const std::list<DataProviderInfo>& providers) const {
  return requests.size() == providers.size();
}

}  // namespace VOK
