#pragma once

#include "ISocketHandlerFunctions.h"

#include <gmock/gmock.h>

// A substitute socket layer for failures that real sockets cannot produce on demand.
class MockSocketFunctions : public ISocketHandlerFunctions {
 public:
  MOCK_METHOD(int, _socket, (int, int, int), (override));
  MOCK_METHOD(int, _send, (int, const void*, unsigned, int), (override));
  MOCK_METHOD(int, _recv, (int, char*, unsigned, int), (override));
  MOCK_METHOD(int, _connect, (int, const sockaddr*, unsigned), (override));
  MOCK_METHOD(int, _accept, (int, sockaddr*, unsigned*), (override));
  MOCK_METHOD(int, _accept, (int, sockaddr_un*, unsigned*), (override));
  MOCK_METHOD(int, _listen, (int, int), (override));
  MOCK_METHOD(int, _bind, (int, const sockaddr*, unsigned), (override));
  MOCK_METHOD(int, _setsockopt, (int, int, int, const void*, unsigned), (override));
  MOCK_METHOD(int, _getsockopt, (int, int, int, void*, unsigned*), (override));
  MOCK_METHOD(int, _close, (int), (override));
  MOCK_METHOD(int, _fcntl, (int, int, int), (override));
  MOCK_METHOD(int, _unlink, (const char*), (override));
};
