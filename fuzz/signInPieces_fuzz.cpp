// The broker's sign-in wait over a socket that delivers the input in pieces: every 0xff
// byte ends a piece (two in a row: an attempt that brings nothing), so a message may be
// cut anywhere, as a stream socket may cut it. The wait ends in null, a record or one of
// the reader's documented exceptions; it answers with nothing but the environment reply;
// and a sign-in, however it is cut, reads as the same record as when it comes whole.

#include <cerrno>
#include <memory>
#include <vector>

#include "AppConnector.h"
#include "ISocketHandler.h"
#include "StringDefs.h"
#include "configurationDataFactoryJson.h"
#include "fuzzSupport.h"

// The wait's 10 ms pause before every attempt is linked away (fuzz/CMakeLists.txt wraps
// the symbol), so that a piece costs microseconds.
extern "C" void __wrap__ZN3VOK9pollPauseEv() {}

namespace {

using ConfigurationDataFactory::AttributeMissingException;

constexpr int kFd = 7;
constexpr unsigned long long kLifetime = 10;
// The attempts of one wait, and what one receive can bring at most.
constexpr std::size_t kAttempts = 100;
constexpr std::size_t kReceiveLimit = 1024;
constexpr char kCut = '\xff';

// A connected app's socket as the broker's transport sees it.
class PieceSocket : public ISocketHandler {
 public:
  explicit PieceSocket(const std::string& input) {
    std::string piece;
    for (const char c : input) {
      if (c == kCut) {
        pieces.push_back(piece);
        piece.clear();
      } else if (piece.size() == kReceiveLimit) {
        pieces.push_back(piece);
        piece = c;
      } else {
        piece += c;
      }
    }
    pieces.push_back(piece);
  }

  int recvString(int fd, std::string& out) override {
    if (fd != kFd) {
      finding("received on descriptor " + std::to_string(fd), joined());
    }
    if (next == pieces.size() || pieces[next].empty()) {
      next += next < pieces.size() ? 1 : 0;
      return EAGAIN;
    }
    out = pieces[next++];
    return 0;
  }
  int sendString(std::string text, int fd) override {
    if (fd != kFd || text != VOK::AppConnector::getConfigDataResponse(kLifetime)) {
      finding("sent " + text + " on descriptor " + std::to_string(fd), joined());
    }
    return 0;
  }
  int serverWaitForConnection() override { unexpected("serverWaitForConnection"); }
  int clientConnectToServer(std::string, unsigned short) override { unexpected("clientConnect"); }
  int uxclientConnectToServer(unsigned) override { unexpected("uxclientConnectToServer"); }
  int setupServerSocket(unsigned short) override { unexpected("setupServerSocket"); }
  int serverListen() override { unexpected("serverListen"); }
  int uxserverAccept() override { unexpected("uxserverAccept"); }
  int uxsetupServerSocket() override { unexpected("uxsetupServerSocket"); }

  // The bytes the app sent, without the cuts.
  std::string joined() const {
    std::string text;
    for (const std::string& piece : pieces) {
      text += piece;
    }
    return text;
  }
  std::size_t pieceCount() const { return pieces.size(); }

 private:
  [[noreturn]] void unexpected(const std::string& call) const {
    finding("the wait called " + call, joined());
  }

  std::vector<std::string> pieces;
  std::size_t next = 0;
};

// The record the whole text gives, when it is a sign-in that the wait can recognise in
// time: one document from its first byte, no environment request in it, and few enough
// pieces for the attempts.
std::unique_ptr<ConfigurationData> wholeSignIn(const PieceSocket& socket) {
  const std::string text = socket.joined();
  if (socket.pieceCount() > kAttempts || text.empty() || text[0] != '{' ||
      text.find(VOK::StringDefs::ConfigDefaultValues::ConnectToVokConfig) == std::string::npos ||
      text.find(VOK::StringDefs::ConfigDefaultValues::ConfigDataRequest) != std::string::npos) {
    return nullptr;
  }
  try {
    return std::unique_ptr<ConfigurationData>(
        ConfigurationDataFactory::CreateConfigurationFromString(text, kFd));
  } catch (...) {
    return nullptr;
  }
}

bool sameRecord(const ConfigurationData& a, const ConfigurationData& b) {
  return a == b && a.getDataType() == b.getDataType() &&
         a.getInterfaceVersion() == b.getInterfaceVersion() && a.getSocketfd() == b.getSocketfd();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PieceSocket socket(textOf(data, size));
  const std::unique_ptr<ConfigurationData> expected = wholeSignIn(socket);
  std::atomic<bool> stop{false};
  std::unique_ptr<ConfigurationData> record;
  try {
    record = VOK::AppConnector::waitForNewAppToConnect(&socket, kFd, kLifetime, stop);
  } catch (const AttributeMissingException&) {
  } catch (const std::invalid_argument&) {
  } catch (const nlohmann::json::exception&) {
  }
  if (record && record->getSocketfd() != kFd) {
    finding("record without the app's descriptor", socket.joined());
  }
  if (expected && !(record && sameRecord(*record, *expected))) {
    finding("a sign-in cut into pieces did not read as the whole one", socket.joined());
  }
  return 0;
}
