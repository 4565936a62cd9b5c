#include "vok_itest.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using namespace std::chrono_literals;

// A writer process writes as fast as it can into a ring of 1000 segments; to
// come back to a published segment it needs 999 further writes of a 1 KiB
// record, several microseconds at the least. The reader accepts a copy only
// when both of its clock readings fall into the same microsecond, so no
// accepted copy can overlap a rewrite of its segment. Bytes carry the
// counter's low byte, so the count must not be a multiple of 256: otherwise
// a segment's old and new contents would carry the same byte.
TEST(TornRecord, NoMixedRecordIsEverAcceptedFromAWriterAtFullSpeed) {
  const std::string name = "/vok_torn_" + std::to_string(::getpid());
  vok_itest::ShmLeftovers leftovers({name});
  vok_itest::StartedProcess writer({SHM_TORN_WRITER, name, "1000", "6"});
  ASSERT_TRUE(writer.waitForOutput("ready", 10s)) << writer.errors();
  vok_itest::StartedProcess reader({SHM_TORN_READER, name, "3"});
  const std::optional<int> readerStatus = reader.waitForExit(30s);
  const std::optional<int> writerStatus = writer.waitForExit(30s);
  std::printf("reader: %swriter: %s", reader.output().c_str(), writer.output().c_str());

  unsigned long long accepted = 0, rejected = 0, mixed = 0, changes = 0, overlaps = 0;
  ASSERT_EQ(std::sscanf(reader.output().c_str(),
                        "accepted %llu rejected %llu mixed %llu changes %llu overlaps %llu",
                        &accepted, &rejected, &mixed, &changes, &overlaps),
            5)
      << reader.errors();
  EXPECT_EQ(readerStatus, 0);
  EXPECT_EQ(writerStatus, 0);
  EXPECT_EQ(mixed, 0u);
  EXPECT_GT(accepted, 0u);
  // The reader really saw the writer at work, not only its last record.
  EXPECT_GT(changes, 10u);
  // How often the two really overlapped depends on the load of the machine,
  // so it is reported, not required.
  RecordProperty("rejected_copies", std::to_string(rejected));
  RecordProperty("overlaps", std::to_string(overlaps));
}

}  // namespace
