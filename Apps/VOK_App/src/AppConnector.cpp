#include "AppConnector.h"

#include "ResponseData.h"
#include "StringDefs.h"
#include "VOKException.h"
#include "VokEnvironmentConfig.h"
#include "VokInformation.h"
#include "configurationDataFactory.h"
#include "log_datalayer.h"
#include "messageFrame.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace VOK {

namespace {

const std::string kComponent = "VOK_App/src/AppConnector::waitForNewAppToConnect";
constexpr int kPolls = 100;

// Answers every environment request in the piece and returns what is left
// of it. An app whose request went unanswered sends its sign-in right
// behind it, so both may share one piece; the sign-in must not be lost.
std::string answerEnvironmentRequests(ISocketHandler* server, int fd, unsigned long long lifetime, std::string piece) {
  const std::string request = VokEnvironmentConfig::GetRequestVokEnvironmentConfig();
  size_t at = piece.find(request);
  if (at == std::string::npos) {
    // A request in some other spelling: answered, and the piece is dropped.
    server->sendString(AppConnector::getConfigDataResponse(lifetime), fd);
    return "";
  }
  for (; at != std::string::npos; at = piece.find(request)) {
    server->sendString(AppConnector::getConfigDataResponse(lifetime), fd);
    piece.erase(at, request.size());
  }
  return piece;
}

}  // namespace

std::unique_ptr<ConfigurationData> AppConnector::waitForNewAppToConnect(ISocketHandler* server, int fd,
                                                                        unsigned long long lifetime,
                                                                        const std::atomic<bool>& stop) {
  const std::string tag = "<" + std::to_string(fd) + ">";
  log(LOG_INFO, kComponent, "Connection to server established");
  std::string accumulated;
  bool closed = false;
  int attemptsLeft = kPolls;
  const auto receive = [&](std::string& piece) {
    if (stop) {
      return Piece::Closed;
    }
    errno = 0;
    const int result = server->recvString(fd, piece);
    log(LOG_DEBUG, kComponent, tag + std::strerror(errno) + " " + std::to_string(errno));
    if (result == EBADF) {
      closed = true;
      return Piece::Closed;
    }
    if (result != 0) {
      return Piece::Nothing;
    }
    if (piece.find(StringDefs::ConfigDefaultValues::ConfigDataRequest) != std::string::npos) {
      piece = answerEnvironmentRequests(server, fd, lifetime, piece);
    }
    return Piece::Received;
  };
  // A sign-in split across pieces is read once it is whole; a text that can
  // never become a document goes to the reader, which says what is wrong.
  const bool signedIn = gatherMessage(accumulated, attemptsLeft, receive, [](std::string& text) {
    return text.find(StringDefs::ConfigDefaultValues::ConnectToVokConfig) != std::string::npos &&
           frameOf(text) != Frame::Incomplete;
  });
  if (closed) {
    return nullptr;
  }
  if (!signedIn && attemptsLeft == 0) {
    log(LOG_ERROR, kComponent,
        tag + " did not connect, are you using ARM platform? Reducing the shared memory size may help.");
    return nullptr;
  }
  if (stop) {
    throw VOKException("StopProcess set" + tag);
  }
  log(LOG_DEBUG, kComponent, tag + "->server received connection data of client application: " + accumulated);
  return ConfigurationDataFactory::CreateConfigurationFromString(accumulated, fd);
}

std::string AppConnector::getConfigDataResponse(unsigned long long lifetime) {
  using namespace StringDefs;
  // The JSON writer's compact form: members in key order.
  return "{\"" + ConfigKeys::ConfigData + "\":{\"" + ConfigKeys::SegmentLifetime + "\":" + std::to_string(lifetime) +
         "},\"" + ConfigKeys::Type + "\":\"" + ConfigKeys::ConfigDataResponse + "\",\"" + ConfigKeys::Version +
         "\":\"0.1\"}";
}

std::string AppConnector::CreateResponseDataString(const ConfigurationData& app,
                                                   const std::list<DataProviderInfo>& providers) {
  log(LOG_INFO, "VOK_APP", app.getInterfaceVersion());
  const VokInformation info(static_cast<int>(::getpid()), "0.1", "connected", "OK");
  const ResponseData response(StringDefs::ResponseValues::ConnectToVOKResult, "0.1", info, providers);
  return response.toString();
}

}  // namespace VOK
