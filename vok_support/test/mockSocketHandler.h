#pragma once

#include "ISocketHandler.h"

#include <gmock/gmock.h>

// A substitute transport for driving the connection and the broker without sockets.
class MockSocketHandler : public ISocketHandler {
 public:
  MOCK_METHOD(int, serverWaitForConnection, (), (override));
  MOCK_METHOD(int, clientConnectToServer, (std::string, unsigned short), (override));
  MOCK_METHOD(int, uxclientConnectToServer, (unsigned), (override));
  MOCK_METHOD(int, setupServerSocket, (unsigned short), (override));
  MOCK_METHOD(int, recvString, (int, std::string&), (override));
  MOCK_METHOD(int, sendString, (std::string, int), (override));
  MOCK_METHOD(int, serverListen, (), (override));
  MOCK_METHOD(int, uxserverAccept, (), (override));
  MOCK_METHOD(int, uxsetupServerSocket, (), (override));
};

// A receive that delivers text.
inline auto deliver(std::string text) {
  return [text](int, std::string& out) {
    out = text;
    return 0;
  };
}
