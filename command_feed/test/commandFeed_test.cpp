#include "commandFeed.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using CommandFeed::currentValues;

// Every test starts from values 0..14 and a known padding byte.
class CommandFeedValuesTest : public testing::Test {
 protected:
  void SetUp() override {
    char initial[16];
    for (int i = 0; i < 16; ++i) {
      initial[i] = static_cast<char>(i);
    }
    ASSERT_EQ(CommandFeed::send(initial, 16, 16), 0);
  }
  int8_t value(int i) { return currentValues().bramixData[i]; }
  unsigned char padding() {
    return reinterpret_cast<unsigned char*>(&currentValues())[sizeof(void*) + 15];
  }
};

// Values 0..14 and the padding byte after each send of text with length.
TEST_F(CommandFeedValuesTest, SendChangesTheFirstLengthValuesAndReadsNoFurtherThanTheText) {
  const struct Case {
    std::vector<char> text;  // holds exactly the text: a read beyond it is the address sanitizer's
    unsigned length;
    std::vector<int> expected;
  } cases[] = {
      {{10, 11, 12}, 3, {10, 11, 12, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {{9, 10}, 6, {9, 10, 0, 0, 0, 0, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},  // zero beyond the text
      {std::vector<char>(16, 7), 16, std::vector<int>(16, 7)},  // the whole data area, padding too
  };
  for (const Case& c : cases) {
    SetUp();
    EXPECT_EQ(CommandFeed::send(c.text.data(), c.text.size(), c.length), 0);
    std::vector<int> seen;
    for (int i = 0; i < 15; ++i) {
      seen.push_back(value(i));
    }
    seen.push_back(padding());
    EXPECT_EQ(seen, c.expected) << c.length;
  }
  // A virtual call still works, so the dispatch pointer is intact.
  EXPECT_EQ(currentValues().getSymbolList().front().getName(), "bramixData");
}

TEST_F(CommandFeedValuesTest, RefusedSendsChangeNothing) {
  char big[17] = {};
  EXPECT_EQ(CommandFeed::send(big, 17, 17), -1);
  EXPECT_EQ(CommandFeed::send("\x0a\x0b\x0c", 3, 0), 0);
  // A value beyond 0..15 is never masked into the range (16 would be 0).
  try {
    CommandFeed::send("\x0f\x10", 2, 2);
    ADD_FAILURE() << "16 was taken";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "value 1 is 16, not 0..15");
  }
  EXPECT_THROW(CommandFeed::send("\xff", 1, 1), std::invalid_argument);
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(value(i), i) << i;
  }
}

TEST_F(CommandFeedValuesTest, SendWaitsWhileThePublisherHoldsTheValues) {
  std::atomic<bool> sent{false};
  std::thread sender;
  {
    std::lock_guard<std::mutex> publishing(CommandFeed::dataLock());
    sender = std::thread([&] {
      CommandFeed::send("\x09", 1, 1);
      sent = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(sent);
    EXPECT_EQ(value(0), 0);
  }
  sender.join();
  EXPECT_TRUE(sent);
  EXPECT_EQ(value(0), 9);
}

TEST_F(CommandFeedValuesTest, SilenceForTheDeadManTimePutsTheNeutralValuesInForce) {
  EXPECT_THROW(CommandFeed::setDeadMan(-1), std::invalid_argument);
  EXPECT_THROW(CommandFeed::setDeadMan(CommandFeed::kMaxDeadManMs + 1), std::invalid_argument);
  EXPECT_EQ(CommandFeed::enforceDeadMan(), std::chrono::nanoseconds::max());
  CommandFeed::setDeadMan(CommandFeed::kMaxDeadManMs);
  EXPECT_GT(CommandFeed::enforceDeadMan(), std::chrono::minutes(59));
  EXPECT_EQ(value(0), 0);
  CommandFeed::setDeadMan(1);
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(CommandFeed::enforceDeadMan(), std::chrono::nanoseconds::max());
  EXPECT_EQ(value(0), 8);
  EXPECT_EQ(value(14), 13);
  // The next send drives again, on top of the neutral values.
  CommandFeed::send("\x03", 1, 1);
  EXPECT_EQ(value(0), 3);
  EXPECT_EQ(value(1), 8);
  CommandFeed::setDeadMan(0);
}

// Kilobytes of this process's memory locked in RAM, as the kernel counts them.
long lockedKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmLck:", 0) == 0) {
      return std::stol(line.substr(6));
    }
  }
  return -1;
}

// The sanitizers' runtimes make mlock and munlockall do nothing, so locked
// memory cannot be seen there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kMemoryLocksWork = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kMemoryLocksWork = false;
#else
constexpr bool kMemoryLocksWork = true;
#endif
#else
constexpr bool kMemoryLocksWork = true;
#endif

TEST(CommandFeedTest, DisconnectUnlocksTheLockedMemory) {
  if (!kMemoryLocksWork) {
    GTEST_SKIP() << "the sanitizer's runtime makes mlock and munlockall do nothing";
  }
  const long page = ::sysconf(_SC_PAGESIZE);
  std::vector<char> memory(2 * page);
  char* aligned = memory.data() + (page - reinterpret_cast<uintptr_t>(memory.data()) % page);
  ASSERT_EQ(::mlock(aligned, page), 0) << std::strerror(errno);
  ASSERT_GT(lockedKilobytes(), 0);
  EXPECT_EQ(CommandFeed::disconnect(), 0);
  EXPECT_EQ(lockedKilobytes(), 0);
}

}  // namespace
