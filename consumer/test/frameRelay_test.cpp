// The relay's entry points and thread lifecycle, with a scripted reader
// instead of a real sign-in and a stream server that never binds.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "RelayWrapperLinux.h"
#include "StreamWrapperLinux.h"
#include "frameRelay.h"
#include "relayState.h"

namespace {

using ::testing::HasSubstr;

// The scripted reader: pushes the frames the test hands it, then ends like
// the real one.
std::atomic<int> framesToPush{0};
std::atomic<bool> readerMayEnd{false};
std::atomic<bool> readerEnded{false};

void* scriptedReader(void*) {
  unsigned char frame[UserDataStruct::frameBytes] = {};
  while (!readerMayEnd) {
    if (framesToPush > 0) {
      frame[0] = 0x42;
      frame[1] = static_cast<unsigned char>(framesToPush.load());
      push(frame, sizeof(frame));
      --framesToPush;
      sem_post(&frame_relay::semDataReceived);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  frame_relay::threads.readerEnds();
  readerEnded = true;
  return nullptr;
}

class ScriptedThreads : public RelayWrapperLinux {
 public:
  int _pthread_create(pthread_t* thread, void* (*start)(void*), void* argument) override {
    if (failCreate) {
      return EAGAIN;
    }
    return RelayWrapperLinux::_pthread_create(thread, start == stayAlive ? scriptedReader : start,
                                              argument);
  }
  bool failCreate = false;
};

class NoSocket : public StreamWrapperLinux {
 public:
  int _socket(int, int, int) override { return -1; }
};

std::atomic<int> callbackCalls{0};
std::atomic<int> lastTag{0};

// A host's callback gets its own buffer and length; it takes the frame with pop.
void* countingCallback(char* buffer, unsigned length) {
  EXPECT_EQ(length, 100u);
  pop(buffer, length);
  lastTag = static_cast<unsigned char>(buffer[1]);
  ++callbackCalls;
  return nullptr;
}

bool eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 500 && !condition(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

class FrameRelayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_relay::relayUseFunctions(threadFunctions);
    stream_use_functions(std::make_shared<NoSocket>());
  }
  std::shared_ptr<ScriptedThreads> threadFunctions = std::make_shared<ScriptedThreads>();
};

std::string captured(const std::function<int()>& call, int& result) {
  testing::internal::CaptureStdout();
  result = call();
  return testing::internal::GetCapturedStdout();
}

// One relay from connect to the end of its reader, in the order a host uses it.
TEST_F(FrameRelayTest, ConnectReceiveDispatchAndEndInOrder) {
  char buffer[100] = {};
  int result = -1;
  ASSERT_EQ(VOK_connect1(3), 0);
  EXPECT_EQ(frame_relay::serverInstanceNum, 3u);
  EXPECT_EQ(captured([] { return VOK_connect(); }, result),
            "ERR: (ZentorMotion(ZM) connect(), stayAlive): reader already running\n");
  EXPECT_EQ(result, 2);

  EXPECT_EQ(captured([&] { return VOK_receive(nullptr, buffer, 81921); }, result),
            "ERR: (ZentorMotion(ZM)C::receive()): parameter oversize\n");
  EXPECT_EQ(result, 2);
  EXPECT_THAT(captured([&] { return VOK_receive(nullptr, buffer, -1); }, result),
              HasSubstr("parameter oversize"));
  EXPECT_EQ(result, 2);

  ASSERT_EQ(VOK_receive(reinterpret_cast<void*>(countingCallback), buffer, 100), 0);
  EXPECT_EQ(captured([&] { return VOK_receive(nullptr, buffer, 100); }, result),
            "ERR: (ZentorMotion(ZM)C::receive()): calling twice not supported\n");
  EXPECT_EQ(result, 2);

  framesToPush = 3;
  EXPECT_TRUE(eventually([] { return callbackCalls == 3; }));
  EXPECT_EQ(lastTag, 1);  // the frames came in order 3, 2, 1

  readerMayEnd = true;
  ASSERT_TRUE(eventually([] { return readerEnded.load(); }));
  // The dispatcher was woken and joined before the semaphore went away.
  EXPECT_TRUE(frame_relay::threads.dispatcherMustEnd());
  EXPECT_EQ(callbackCalls, 3);
  frame_relay::threads.joinReader();
}

TEST_F(FrameRelayTest, PopCopiesLatestFrameAndTreatsLengthsSafely) {
  unsigned char jpeg[UserDataStruct::frameBytes] = {0xFF, 0xD8, 0x01, 0xFF, 0xD9};
  push(jpeg, sizeof(jpeg));
  char buffer[8];
  std::memset(buffer, 0x55, sizeof(buffer));
  EXPECT_EQ(pop(buffer, 0), buffer);
  EXPECT_EQ(buffer[0], 0x55);  // untouched

  testing::internal::CaptureStdout();
  EXPECT_EQ(pop(buffer, 5), buffer);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\033[H\033[JZM_RECEIVED[0]");
  EXPECT_EQ(std::memcmp(buffer, jpeg, 5), 0);

  testing::internal::CaptureStdout();
  EXPECT_EQ(pop(buffer, UserDataStruct::frameBytes + 1), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERR: (ZentorMotion(ZM)C::pop()): oversize\n");

  const unsigned char other[3] = {0x10, 0x20, 0x30};
  push(const_cast<unsigned char*>(other), sizeof(other));
  testing::internal::CaptureStdout();
  pop(buffer, 3);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // not a JPEG frame: not announced
  EXPECT_EQ(std::memcmp(buffer, other, 3), 0);
}

// Failures of thread creation, each in a fresh process (a set callback stays set).
class FrameRelayDeathTest : public FrameRelayTest {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    FrameRelayTest::SetUp();
  }
};

// Runs call in the child and reports its stdout on stderr and its result as exit status.
[[noreturn]] void reportAndExit(const std::function<int()>& call) {
  int result = 0;
  const std::string output = captured(call, result);
  std::fprintf(stderr, "%s", output.c_str());
  std::exit(result);
}

TEST_F(FrameRelayDeathTest, ReaderThatCannotStartGivesTwoAndInfoLine) {
  EXPECT_EXIT(
      {
        threadFunctions->failCreate = true;
        reportAndExit([] { return VOK_connect(); });
      },
      testing::ExitedWithCode(2),
      "Log: \\(ZentorMotion\\(ZM\\) connect\\(\\), stayAlive\\): unable to create thread");
}

TEST_F(FrameRelayDeathTest, DispatcherThatCannotStartGivesTwoAndBlocksLaterCalls) {
  EXPECT_EXIT(
      {
        char buffer[16];
        if (VOK_connect() != 0) {
          std::exit(10);
        }
        threadFunctions->failCreate = true;
        reportAndExit([&] {
          return VOK_receive(nullptr, buffer, 16) * 10 + VOK_receive(nullptr, buffer, 16);
        });
      },
      testing::ExitedWithCode(22),
      "ERR: \\(ZentorMotion\\(ZM\\)C::receive\\(\\)\\): unable to create thread\n"
      "ERR: \\(ZentorMotion\\(ZM\\)C::receive\\(\\)\\): calling twice not supported");
}

TEST_F(FrameRelayDeathTest, ReceiveWithoutReaderIsRefusedAndMayBeRetried) {
  EXPECT_EXIT(
      {
        char buffer[16];
        reportAndExit([&] {
          const int withoutReader = VOK_receive(nullptr, buffer, 16);
          return withoutReader * 10 + (VOK_connect() == 0 ? VOK_receive(nullptr, buffer, 16) : 9);
        });
      },
      testing::ExitedWithCode(20), "no frame reader running");
}

}  // namespace
