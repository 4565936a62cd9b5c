// The relay's entry points and thread lifecycle, with a scripted reader
// instead of a real sign-in and a stream server that never binds.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <utility>

#include "FrameRelay.h"
#include "RelayWrapperLinux.h"
#include "StreamWrapperLinux.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Pair;

class ThreadsThatMayFail : public RelayWrapperLinux {
 public:
  int _pthread_create(pthread_t* thread, void* (*start)(void*), void* argument) override {
    return failCreate ? EAGAIN : RelayWrapperLinux::_pthread_create(thread, start, argument);
  }
  std::atomic<bool> failCreate{false};
};

class NoSocket : public StreamWrapperLinux {
 public:
  int _socket(int, int, int) override { return -1; }
};

bool eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 500 && !condition(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

// What call returned and printed.
template <typename Call>
auto captured(Call call) {
  testing::internal::CaptureStdout();
  const auto result = call();
  return std::make_pair(result, testing::internal::GetCapturedStdout());
}

std::pair<int, std::string> refusal(const std::string& text) { return {2, text}; }

// The host's callback sees the frames of the test's relay.
FrameRelay* hostRelay = nullptr;
std::atomic<int> callbackCalls{0};
std::atomic<int> lastTag{0};

void* countingCallback(char* buffer, unsigned length) {
  EXPECT_EQ(length, 100u);
  hostRelay->pop(buffer, length);
  lastTag = static_cast<unsigned char>(buffer[1]);
  ++callbackCalls;
  return nullptr;
}

class FrameRelayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hostRelay = &relay;
    callbackCalls = 0;
  }
  void TearDown() override {
    readerMayEnd = true;
    relay.joinReader();
  }

  // Delivers the frames it is handed (tagged by count), then ends like the real one.
  void scriptedReader(FrameRelay& self, unsigned instance) {
    askedInstance = instance;
    ++readersStarted;
    unsigned char frame[UserDataStruct::frameBytes] = {};
    while (!readerMayEnd && !self.stopping()) {
      if (framesToDeliver > 0) {
        frame[0] = 0x42;
        frame[1] = static_cast<unsigned char>(framesToDeliver.load());
        self.deliver(frame, sizeof(frame));
        --framesToDeliver;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  // Ends the running reader and waits until it has.
  void endReader() {
    readerMayEnd = true;
    relay.joinReader();
    readerMayEnd = false;
  }

  std::shared_ptr<ThreadsThatMayFail> threads = std::make_shared<ThreadsThatMayFail>();
  std::atomic<int> framesToDeliver{0};
  std::atomic<bool> readerMayEnd{false};
  std::atomic<unsigned> askedInstance{99};
  std::atomic<int> readersStarted{0};
  FrameRelay relay{threads, [this](FrameRelay& self, unsigned instance) { scriptedReader(self, instance); },
                   std::make_shared<NoSocket>()};
  char buffer[100] = {};
};

// One relay from connect to the end of its reader, in the order a host uses it.
TEST_F(FrameRelayTest, ConnectReceiveDispatchAndEndInOrder) {
  ASSERT_EQ(relay.connect(3), 0);
  ASSERT_TRUE(eventually([&] { return readersStarted == 1; }));
  EXPECT_EQ(askedInstance, 3u);
  EXPECT_EQ(captured([&] { return relay.connect(0); }),
            refusal("ERR: (ZentorMotion(ZM) connect(), stayAlive): reader already running\n"));
  EXPECT_EQ(captured([&] { return relay.receive(nullptr, buffer, 81921); }),
            refusal("ERR: (ZentorMotion(ZM)C::receive()): parameter oversize\n"));
  EXPECT_THAT(captured([&] { return relay.receive(nullptr, nullptr, 16); }),
              Pair(2, HasSubstr("buffer must not be null")));

  ASSERT_EQ(relay.receive(countingCallback, buffer, 100), 0);
  EXPECT_EQ(captured([&] { return relay.receive(nullptr, buffer, 100); }),
            refusal("ERR: (ZentorMotion(ZM)C::receive()): calling twice not supported\n"));

  framesToDeliver = 3;
  EXPECT_TRUE(eventually([] { return callbackCalls == 3; }));
  EXPECT_EQ(lastTag, 1);  // the frames came in order 3, 2, 1
  endReader();
  EXPECT_EQ(callbackCalls, 3);
}

// A reader that ended (no broker, no provider) does not leave the relay dead:
// a new connect brings the reader and the earlier receive's dispatch back; a
// stopping relay refuses.
TEST_F(FrameRelayTest, ConnectAfterTheReaderEndedResumesDispatchingUntilStopped) {
  ASSERT_EQ(relay.connect(0), 0);
  ASSERT_EQ(relay.receive(countingCallback, buffer, 100), 0);
  EXPECT_EQ(captured([&] { endReader(); return 0; }).second,
            "ERR: (ZentorMotion(ZM)C::stayAlive()): the frame reader ended, no frames until "
            "VOK_connect starts a new one\n");
  EXPECT_EQ(captured([&] { return relay.connect(0); }),
            std::make_pair(0, std::string("Log: (ZentorMotion(ZM) connect(), stayAlive): a new frame reader "
                                          "replaces the one that ended; dispatching resumes\n")));
  framesToDeliver = 2;
  EXPECT_TRUE(eventually([] { return callbackCalls == 2; }));

  relay.stop();
  relay.joinReader();
  EXPECT_EQ(captured([&] { return relay.connect(0); }),
            refusal("ERR: (ZentorMotion(ZM) connect(), stayAlive): stopping, no new frame reader\n"));
  EXPECT_EQ(readersStarted, 2);
}

TEST_F(FrameRelayTest, ThreadsThatCannotStartAreRefusedWithTwo) {
  threads->failCreate = true;
  EXPECT_EQ(captured([&] { return relay.connect(0); }),
            refusal("Log: (ZentorMotion(ZM) connect(), stayAlive): unable to create thread\n"));
  // Without a reader a receive is refused and may be tried again.
  EXPECT_THAT(captured([&] { return relay.receive(nullptr, buffer, 16); }),
              Pair(2, HasSubstr("no frame reader running, call VOK_connect first")));

  threads->failCreate = false;
  ASSERT_EQ(relay.connect(0), 0);
  threads->failCreate = true;
  EXPECT_EQ(captured([&] { return relay.receive(nullptr, buffer, 16) * 10 + relay.receive(nullptr, buffer, 16); }),
            std::make_pair(22, std::string("ERR: (ZentorMotion(ZM)C::receive()): unable to create thread\n"
                                           "ERR: (ZentorMotion(ZM)C::receive()): calling twice not supported\n")));
}

TEST_F(FrameRelayTest, PopCopiesLatestFrameAndTreatsLengthsSafely) {
  unsigned char jpeg[UserDataStruct::frameBytes] = {0xFF, 0xD8, 0x01, 0xFF, 0xD9};
  relay.push(jpeg, sizeof(jpeg));
  char small[8];
  std::memset(small, 0x55, sizeof(small));
  EXPECT_EQ(relay.pop(small, 0), small);
  EXPECT_EQ(small[0], 0x55);  // untouched

  EXPECT_EQ(captured([&] { return relay.pop(small, 5); }),
            std::make_pair(+small, std::string("\033[H\033[JZM_RECEIVED[0]")));
  EXPECT_EQ(std::memcmp(small, jpeg, 5), 0);
  EXPECT_EQ(captured([&] { return relay.pop(small, UserDataStruct::frameBytes + 1); }),
            std::make_pair(static_cast<char*>(nullptr), std::string("ERR: (ZentorMotion(ZM)C::pop()): oversize\n")));

  const unsigned char other[3] = {0x10, 0x20, 0x30};
  relay.push(other, sizeof(other));
  // Not a JPEG frame: not announced.
  EXPECT_EQ(captured([&] { return relay.pop(small, 3); }), std::make_pair(+small, std::string()));
  EXPECT_EQ(std::memcmp(small, other, 3), 0);
}

}  // namespace
