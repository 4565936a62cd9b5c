#pragma once

#include <list>
#include <memory>
#include <string>

#include "ISocketConnection.h"
#include "ISocketHandler.h"
#include "messageFrame.h"

namespace VOK {

// ISocketConnection over the string transport. Every wait is polled: at most 101
// attempts with a 10 ms pause each, on top of the handler's own pause.
class SocketConnection : public ISocketConnection {
 public:
  // Throws VOK::VOKException for a null handler.
  explicit SocketConnection(std::shared_ptr<ISocketHandler> socketHandler);
  // Does not close the socket.
  ~SocketConnection() override;
  SocketConnection(const SocketConnection&) = delete;
  SocketConnection& operator=(const SocketConnection&) = delete;

  void Connect(unsigned index) override;
  bool IsConnected() const override;
  void Disconnect() override;
  void SignIn(const ConfigurationData& config) override;
  bool IsSignedIn() const override;
  void SignOut() override;
  std::shared_ptr<VokEnvironmentConfig> RequestVokEnvironmentConfig(unsigned index) override;
  const ResponseData* getResponseData() const override;
  void BusyWaitForVokResponse(const ConfigurationData& config) override;
  int descriptor() const override { return socketFd; }

  // True when both lists have the same number of elements; nothing else is compared.
  bool requestListFitsDataProviderList(const std::list<Requests>& requests,
                                       const std::list<DataProviderInfo>& providers) const;

 private:
  // One receive attempt of a wait.
  Piece receivePiece(std::string& piece);
  [[noreturn]] void throwTimeSlot(const ConfigurationData& config) const;

  std::shared_ptr<ISocketHandler> m_SocketHandler;
  int socketFd = 0;
  std::unique_ptr<ResponseData> responseData;
};

}  // namespace VOK
