#include "ClockUtils.h"
#include "ConsistentDataTransfer.h"
#include "MockClock.h"
#include "VOKException.h"
#include "thrownText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace VOK {
namespace {

using ::testing::_;

const size_t P = sizeof(void*);

// Two record types of one layout, so that a reader's object can be told
// apart from the writer's by its dispatch pointer.
struct WriterRecord : IVOKBaseDataStruct {
  uint64_t stamp = 0;
  char text[12] = {};
  std::list<Symbol> getSymbolList() const override { return {}; }
};
struct ReaderRecord : IVOKBaseDataStruct {
  uint64_t stamp = 0;
  char text[12] = {};
  std::list<Symbol> getSymbolList() const override { return {}; }
};
static_assert(sizeof(WriterRecord) == sizeof(ReaderRecord), "same layout");

const size_t kSize = sizeof(WriterRecord);

WriterRecord record(uint64_t stamp) {
  WriterRecord r;
  r.stamp = stamp;
  std::snprintf(r.text, sizeof(r.text), "rec%llu", static_cast<unsigned long long>(stamp));
  return r;
}

std::shared_ptr<TimeDiffWatchdog> patientWatchdog() {
  return std::make_shared<TimeDiffWatchdog>(1000, new ClockUtils(new ClockWrapperLinux()));
}

std::vector<unsigned char> dispatchBytes(const void* object) {
  const auto* bytes = static_cast<const unsigned char*>(object);
  return std::vector<unsigned char>(bytes, bytes + P);
}

// A ring of three segments on the heap, filled with 0xAA before it is laid out.
class HeapRing : public ::testing::Test {
 protected:
  std::vector<unsigned char> memory = std::vector<unsigned char>(16 + 3 * kSize, 0xAA);
  ConsistentDataTransfer writer{3, memory.data(), kSize, patientWatchdog()};

  uint32_t word(size_t offset) const {
    uint32_t value = 0;
    std::memcpy(&value, memory.data() + offset, sizeof(value));
    return value;
  }
  uint64_t stampInSegment(unsigned index) const {
    WriterRecord probe;
    const size_t stampOffset = reinterpret_cast<const unsigned char*>(&probe.stamp) -
                               reinterpret_cast<const unsigned char*>(&probe);
    uint64_t stamp = 0;
    std::memcpy(&stamp, memory.data() + 16 + index * kSize + stampOffset, sizeof(stamp));
    return stamp;
  }
  ConsistentDataTransfer attach(std::shared_ptr<TimeDiffWatchdog> watchdog = patientWatchdog()) {
    return ConsistentDataTransfer(memory.data(), memory.size(), kSize, std::move(watchdog));
  }
};

TEST_F(HeapRing, FreshRingHasTheEmptyHeaderZeroedSegmentsAndNothingToRead) {
  EXPECT_EQ(memory[0], 1);
  EXPECT_EQ(memory[1], 0);
  EXPECT_EQ(word(4), 3u);
  EXPECT_EQ(word(8), kSize);
  EXPECT_EQ(word(12), 3u);
  EXPECT_EQ(std::vector<unsigned char>(memory.begin() + 16, memory.end()),
            std::vector<unsigned char>(3 * kSize, 0));
  ReaderRecord target;
  target.stamp = 99;
  EXPECT_FALSE(attach().readUserData(&target));
  EXPECT_EQ(target.stamp, 99u);
  EXPECT_EQ(attach().newestSegment(), std::nullopt);
}

TEST_F(HeapRing, FourWritesIntoThreeSegmentsWrapAndTheReaderKeepsGettingTheFourth) {
  for (uint64_t stamp = 1; stamp <= 4; ++stamp) {
    WriterRecord r = record(stamp);
    writer.writeUserData(&r);
  }
  EXPECT_EQ(stampInSegment(0), 4u);
  EXPECT_EQ(stampInSegment(1), 2u);
  EXPECT_EQ(stampInSegment(2), 3u);
  EXPECT_EQ(word(12), 0u);
  ConsistentDataTransfer reader = attach();
  EXPECT_EQ(reader.newestSegment(), std::optional<uint32_t>(0));
  for (int pass = 0; pass < 3; ++pass) {  // the writer has stopped
    ReaderRecord target;
    ASSERT_TRUE(reader.readUserData(&target));
    EXPECT_EQ(target.stamp, 4u);
    EXPECT_STREQ(target.text, "rec4");
  }
}

TEST_F(HeapRing, SegmentHoldsTheWritersWholeImageAndTheReaderKeepsItsOwnDispatchPointer) {
  WriterRecord r = record(8);
  writer.writeUserData(&r);
  EXPECT_EQ(std::memcmp(memory.data() + 16, &r, kSize), 0);
  ReaderRecord target;
  const std::vector<unsigned char> own = dispatchBytes(&target);
  ASSERT_NE(own, dispatchBytes(&r));
  ASSERT_TRUE(attach().readUserData(&target));
  EXPECT_EQ(dispatchBytes(&target), own);
  EXPECT_EQ(target.stamp, 8u);
}

TEST_F(HeapRing, CorruptIndexThrowsOutOfRangeWithBothNumbers) {
  ConsistentDataTransfer reader = attach();
  const uint32_t corrupt = 7;
  std::memcpy(memory.data() + 12, &corrupt, sizeof(corrupt));
  ReaderRecord target;
  EXPECT_EQ(thrownText<std::out_of_range>([&] { reader.readUserData(&target); }),
            "Last valid segment in buffer out of bounds; is7but there are only3available");
}

TEST_F(HeapRing, SlowCopyIsRepeatedAndDeliversTheSegmentNewestAtTheRepeat) {
  WriterRecord first = record(1);
  writer.writeUserData(&first);
  // The clock reads 0 and 5000 us around the first copy (a time-out with a
  // 1 ms lifetime); the writer publishes record 2 meanwhile; the second copy
  // takes 100 us.
  auto* clock = new MockClock();
  WriterRecord second = record(2);
  EXPECT_CALL(*clock, _clock_gettime(_, _)).WillOnce(ReportMicroseconds(0)).WillOnce([&](int, timespec& now) {
        writer.writeUserData(&second);
        now = timespec{0, 5000000};
        return 0;
      }).WillOnce(ReportMicroseconds(6000)).WillOnce(ReportMicroseconds(6100));
  ConsistentDataTransfer reader = attach(std::make_shared<TimeDiffWatchdog>(1, new ClockUtils(clock)));
  ReaderRecord target;
  ASSERT_TRUE(reader.readUserData(&target));
  EXPECT_EQ(target.stamp, 2u);
}

TEST_F(HeapRing, SecondPairLeavesThePointerBytesAloneAndRoundTrips) {
  const std::vector<unsigned char> before(memory.begin() + 16, memory.begin() + 16 + P);
  WriterRecord r = record(6);
  writer.writeDataToPosixFromVMM(&r);
  EXPECT_EQ(std::vector<unsigned char>(memory.begin() + 16, memory.begin() + 16 + P), before);
  ReaderRecord target;
  const std::vector<unsigned char> own = dispatchBytes(&target);
  ConsistentDataTransfer reader = attach();
  ASSERT_TRUE(reader.writeDataToVMMFromPosix(&target));
  EXPECT_EQ(target.stamp, 6u);
  EXPECT_EQ(dispatchBytes(&target), own);
  EXPECT_FALSE(reader.writeDataToVMMFromPosix(nullptr));
}

TEST_F(HeapRing, AttachingRefusesAHeaderThatDoesNotFitTheMappingOrTheRecord) {
  EXPECT_THROW(ConsistentDataTransfer(memory.data(), memory.size() - 1, kSize, patientWatchdog()),
               VOKException);
  EXPECT_THROW(ConsistentDataTransfer(memory.data(), memory.size(), kSize - 1, patientWatchdog()),
               VOKException);
  EXPECT_THROW(ConsistentDataTransfer(memory.data(), 15, kSize, patientWatchdog()), VOKException);
  // 2^31 segments of 2 bytes wrap to 16 in 32-bit arithmetic: refused, not wrapped.
  const uint32_t counts[] = {1, 0x80000000u};
  const uint32_t two = 2;
  std::memcpy(memory.data() + 4, &counts[0], sizeof(uint32_t));
  EXPECT_THROW(attach(), VOKException);
  std::memcpy(memory.data() + 4, &counts[1], sizeof(uint32_t));
  std::memcpy(memory.data() + 8, &two, sizeof(two));
  EXPECT_THROW(ConsistentDataTransfer(memory.data(), memory.size(), 2, patientWatchdog()), VOKException);
}

TEST(ConsistentDataTransferArguments, RefusesNullsAndTooFewOrTooSmallSegments) {
  std::vector<unsigned char> memory(16 + 4 * kSize, 0xAA);
  EXPECT_THROW(ConsistentDataTransfer(3, nullptr, kSize, patientWatchdog()), std::invalid_argument);
  EXPECT_THROW(ConsistentDataTransfer(nullptr, 64, kSize, patientWatchdog()), std::invalid_argument);
  EXPECT_EQ(thrownText<std::invalid_argument>([&] { ConsistentDataTransfer(1, memory.data(), kSize, patientWatchdog()); }),
            "The buffer must have at least two segments.");
  EXPECT_EQ(memory, std::vector<unsigned char>(16 + 4 * kSize, 0xAA));
  EXPECT_THROW(ConsistentDataTransfer(2, memory.data(), P - 1, patientWatchdog()), std::invalid_argument);
  EXPECT_EQ(thrownText<VOKException>([&] { ConsistentDataTransfer(2, memory.data(), kSize, nullptr); }),
            "ConsistentDataTransfer: timeDiffWatchdog must not be nullptr");
  ConsistentDataTransfer ring(2, memory.data(), kSize, patientWatchdog());
  EXPECT_EQ(thrownText<std::invalid_argument>([&] { ring.writeUserData(nullptr); }),
            "Pointer to user data must not be a nullptr");
  EXPECT_THROW(ring.readUserData(nullptr), std::invalid_argument);
}

}  // namespace
}  // namespace VOK
