// The bramixmotionData record (one camera frame) travels between processes as
// its byte image, so its layout is fixed per word size: 81924 bytes with the
// frame at offset 4 on 32-bit boards, 81928 and 8 on the AArch64 board and
// other 64-bit machines. Checked on every architecture the tree is built for,
// through a real segment ring.
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
  size_t frameOffset;
};

#if defined(__arm__) || defined(__i386__)
constexpr Layout board{81924, 4};
#elif defined(__aarch64__) || defined(__x86_64__)
constexpr Layout board{81928, 8};
#else
#error "record layout of this architecture not known"
#endif

std::shared_ptr<VOK::TimeDiffWatchdog> watchdog() {
  return std::make_shared<VOK::TimeDiffWatchdog>(1000, new VOK::ClockUtils(new VOK::ClockWrapperLinux()));
}

TEST(FrameRecordLayout, SizeAndAdvertisedOffsetAreThoseOfTheBoard) {
  EXPECT_EQ(sizeof(UserDataStruct), board.recordSize);
  auto record = std::make_unique<UserDataStruct>();
  const std::list<Symbol> symbols = record->getSymbolList();
  ASSERT_EQ(symbols.size(), 1u);
  EXPECT_EQ(symbols.front().getOffset(), board.frameOffset);
  EXPECT_EQ(symbols.front().getSizeOf(), 81920u);
}

// What the camera provider writes and the relay reads: segments of
// sizeof(UserDataStruct) bytes, the frame at the advertised offset, its last
// byte just before the next segment.
TEST(FrameRecordLayout, RingSegmentHoldsTheFrameAtTheAdvertisedOffset) {
  const unsigned segments = 2;
  std::vector<unsigned char> memory(16 + segments * sizeof(UserDataStruct), 0xEE);
  VOK::ConsistentDataTransfer writer(segments, memory.data(), sizeof(UserDataStruct), watchdog());
  auto sent = std::make_unique<UserDataStruct>();
  sent->bramixmotionData[0] = static_cast<int8_t>(0xFF);
  sent->bramixmotionData[1] = static_cast<int8_t>(0xD8);
  sent->bramixmotionData[UserDataStruct::frameBytes - 1] = 0x5A;
  writer.writeUserData(sent.get());

  uint32_t segmentSize = 0;
  std::memcpy(&segmentSize, memory.data() + 8, sizeof(segmentSize));
  EXPECT_EQ(segmentSize, board.recordSize);
  const unsigned char* segment = memory.data() + 16;
  EXPECT_EQ(segment[board.frameOffset], 0xFF);
  EXPECT_EQ(segment[board.frameOffset + 1], 0xD8);
  EXPECT_EQ(segment[board.frameOffset + UserDataStruct::frameBytes - 1], 0x5A);
  EXPECT_EQ(segment[board.recordSize], 0);  // the next segment, zeroed

  VOK::ConsistentDataTransfer reader(memory.data(), memory.size(), sizeof(UserDataStruct), watchdog());
  auto received = std::make_unique<UserDataStruct>();
  ASSERT_TRUE(reader.readUserData(received.get()));
  EXPECT_EQ(std::memcmp(received->bramixmotionData, sent->bramixmotionData, UserDataStruct::frameBytes), 0);
  EXPECT_EQ(received->getSymbolList().front().getOffset(), board.frameOffset);
}

}  // namespace
