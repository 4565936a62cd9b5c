#pragma once

#include "mockSocketFunctions.h"
#include "socketHandler.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

// A socket handler over substitute system calls, for the failures that real
// sockets cannot produce on demand.
inline constexpr int kFd = 42;

// Makes a call fail with errno set, as the system call would.
inline auto failWith(int error, int result = -1) {
  return [error, result](auto&&...) {
    errno = error;
    return result;
  };
}

class SocketHandlerWithMock : public ::testing::Test {
 protected:
  SocketHandlerWithMock() : functions(std::make_shared<::testing::NiceMock<MockSocketFunctions>>()) {
    ON_CALL(*functions, _socket(AF_UNIX, SOCK_STREAM, 0)).WillByDefault(::testing::Return(kFd));
  }
  std::unique_ptr<SocketHandler> makeHandler() {
    auto handler = std::make_unique<SocketHandler>(functions, 0);
    handler->setUDS(4711);
    return handler;
  }
  // The exception text and what was logged while running the call.
  template <typename Call>
  std::pair<std::string, std::string> failureOf(Call call) {
    std::string thrown = "<nothing thrown>";
    ::testing::internal::CaptureStdout();
    try {
      call();
    } catch (const std::exception& e) {
      thrown = e.what();
    }
    return {thrown, ::testing::internal::GetCapturedStdout()};
  }
  std::shared_ptr<::testing::NiceMock<MockSocketFunctions>> functions;
};
