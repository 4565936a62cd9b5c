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
      initial[i] = static_cast<char>(100 + i);
    }
    ASSERT_EQ(CommandFeed::send(initial, 16, 16), 0);
  }
  int8_t value(int i) { return currentValues().bramixData[i]; }
  unsigned char padding() {
    return reinterpret_cast<unsigned char*>(&currentValues())[sizeof(void*) + 15];
  }
};

TEST_F(CommandFeedValuesTest, ThreeBytesChangeTheFirstThreeValuesOnly) {
  EXPECT_EQ(CommandFeed::send("abc", 3, 3), 0);
  EXPECT_EQ(value(0), 'a');
  EXPECT_EQ(value(2), 'c');
  EXPECT_EQ(value(3), 103);
  EXPECT_EQ(value(14), 114);
}

TEST_F(CommandFeedValuesTest, LengthAboveTheDataAreaChangesNothing) {
  char big[17] = {};
  EXPECT_EQ(CommandFeed::send(big, 17, 17), -1);
  EXPECT_EQ(value(0), 100);
}

TEST_F(CommandFeedValuesTest, LengthZeroChangesNothing) {
  EXPECT_EQ(CommandFeed::send("xyz", 3, 0), 0);
  EXPECT_EQ(value(0), 100);
}

TEST_F(CommandFeedValuesTest, LengthBeyondTheTextFillsWithZeroAndReadsNoFurther) {
  // Only two bytes are readable; a read of the third would be caught by the
  // address sanitizer.
  char* text = new char[2]{'h', 'i'};
  EXPECT_EQ(CommandFeed::send(text, 2, 6), 0);
  delete[] text;
  EXPECT_EQ(value(0), 'h');
  EXPECT_EQ(value(1), 'i');
  for (int i = 2; i < 6; ++i) {
    EXPECT_EQ(value(i), 0) << i;
  }
  EXPECT_EQ(value(6), 106);
}

TEST_F(CommandFeedValuesTest, FullDataAreaReachesThePaddingButKeepsTheObjectWord) {
  char all[16];
  memset(all, 7, sizeof all);
  EXPECT_EQ(CommandFeed::send(all, 16, 16), 0);
  EXPECT_EQ(value(14), 7);
  EXPECT_EQ(padding(), 7);
  // A virtual call still works, so the dispatch pointer is intact.
  EXPECT_EQ(currentValues().getSymbolList().front().getName(), "bramixData");
}

TEST_F(CommandFeedValuesTest, SendWaitsWhileThePublisherHoldsTheValues) {
  std::atomic<bool> sent{false};
  std::thread sender;
  {
    std::lock_guard<std::mutex> publishing(CommandFeed::dataLock());
    sender = std::thread([&] {
      CommandFeed::send("Z", 1, 1);
      sent = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(sent);
    EXPECT_EQ(value(0), 100);
  }
  sender.join();
  EXPECT_TRUE(sent);
  EXPECT_EQ(value(0), 'Z');
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

TEST(CommandFeedTest, DisconnectUnlocksTheLockedMemory) {
  const long page = ::sysconf(_SC_PAGESIZE);
  std::vector<char> memory(2 * page);
  char* aligned = memory.data() + (page - reinterpret_cast<uintptr_t>(memory.data()) % page);
  ASSERT_EQ(::mlock(aligned, page), 0) << std::strerror(errno);
  ASSERT_GT(lockedKilobytes(), 0);
  EXPECT_EQ(CommandFeed::disconnect(), 0);
  EXPECT_EQ(lockedKilobytes(), 0);
}

}  // namespace
