// The bramixData record travels between processes as its byte image, so its
// layout is fixed per word size: 20 bytes with the values at offset 4 on the
// 32-bit boards, 24 and 8 on 64-bit machines. Checked on every architecture
// the tree is built for, through a real segment ring.
#include "ConsistentDataTransfer.h"
#include "UserDataStruct.h"

#include "ClockUtils.h"
#include "ClockWrapperLinux.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

struct Layout {
  size_t recordSize;
  size_t valuesOffset;
};

#if defined(__arm__) || defined(__i386__)
constexpr Layout board{20, 4};
#elif defined(__aarch64__) || defined(__x86_64__)
constexpr Layout board{24, 8};
#else
#error "record layout of this architecture not known"
#endif

std::shared_ptr<VOK::TimeDiffWatchdog> watchdog() {
  return std::make_shared<VOK::TimeDiffWatchdog>(1000, new VOK::ClockUtils(new VOK::ClockWrapperLinux()));
}

TEST(BramixRecordLayout, SizeAndAdvertisedOffsetAreThoseOfTheBoard) {
  EXPECT_EQ(sizeof(UserDataStruct), board.recordSize);
  const std::list<Symbol> symbols = UserDataStruct().getSymbolList();
  ASSERT_EQ(symbols.size(), 1u);
  EXPECT_EQ(symbols.front().getOffset(), board.valuesOffset);
  EXPECT_EQ(symbols.front().getSizeOf(), 15u);
}

// What the command feed writes and the servo controller reads: segments of
// sizeof(UserDataStruct) bytes, the values at the advertised offset, the
// reader's own object still usable afterwards.
TEST(BramixRecordLayout, RingSegmentHoldsTheValuesAtTheAdvertisedOffset) {
  const unsigned segments = 3;
  std::vector<unsigned char> memory(16 + segments * sizeof(UserDataStruct), 0xEE);
  VOK::ConsistentDataTransfer writer(segments, memory.data(), sizeof(UserDataStruct), watchdog());
  UserDataStruct sent;
  for (unsigned i = 0; i < UserDataStruct::kChannels; ++i) {
    sent.bramixData[i] = static_cast<int8_t>(i + 1 - 8);  // negative ones too
  }
  writer.writeUserData(&sent);

  uint32_t segmentSize = 0;
  std::memcpy(&segmentSize, memory.data() + 8, sizeof(segmentSize));
  EXPECT_EQ(segmentSize, board.recordSize);
  const unsigned char* segment = memory.data() + 16;
  for (unsigned i = 0; i < UserDataStruct::kChannels; ++i) {
    EXPECT_EQ(static_cast<int8_t>(segment[board.valuesOffset + i]), sent.bramixData[i]) << i;
  }
  // The next segment starts right after, without padding, still zeroed.
  EXPECT_EQ(segment[board.recordSize], 0);

  VOK::ConsistentDataTransfer reader(memory.data(), memory.size(), sizeof(UserDataStruct), watchdog());
  UserDataStruct received;
  ASSERT_TRUE(reader.readUserData(&received));
  EXPECT_EQ(std::memcmp(received.bramixData, sent.bramixData, sizeof(sent.bramixData)), 0);
  EXPECT_EQ(received.getSymbolList().front().getOffset(), board.valuesOffset);
}

}  // namespace
