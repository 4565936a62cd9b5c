#include "ConsistentDataTransfer.h"
#include "ClockUtils.h"
#include "ClockWrapperLinux.h"
#include "FutexWrapperLinux.h"
#include "RingSignal.h"
#include "SharedMemoryWrapperLinux.h"

#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <list>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace VOK {
namespace {

using namespace std::chrono_literals;

struct Reading : IVOKBaseDataStruct {
  uint32_t value = 0;
  std::list<Symbol> getSymbolList() const override { return {}; }
};

// A ring on the heap and its signal in real shared memory: the writer's
// mapping read-write, the reader's read-only, as between two processes.
class SignalledRing : public ::testing::Test {
 protected:
  std::shared_ptr<ISharedMemory> shm = std::make_shared<SharedMemoryWrapperLinux>();
  std::shared_ptr<IFutexFunctions> futex = std::make_shared<FutexWrapperLinux>();
  std::string name = RingSignal::nameFor("/vok_signal_test_" + std::to_string(::getpid()));
  std::vector<unsigned char> memory = std::vector<unsigned char>(16 + 3 * sizeof(Reading));
  ConsistentDataTransfer writer{3, memory.data(), sizeof(Reading), watchdog()};
  ConsistentDataTransfer reader{memory.data(), memory.size(), sizeof(Reading), watchdog()};

  static std::shared_ptr<TimeDiffWatchdog> watchdog() {
    return std::make_shared<TimeDiffWatchdog>(1000, new ClockUtils(new ClockWrapperLinux()));
  }
  std::shared_ptr<VokShm> object(bool create) {
    return std::make_shared<VokShm>(name, static_cast<unsigned>(RingSignal::sizeFor(3)), shm, create);
  }
  void TearDown() override { ::shm_unlink(name.c_str()); }
};

TEST_F(SignalledRing, ReaderWaitsUntilTheWriterAnnouncesAndGetsTheRecordsStamp) {
  writer.useSignal(std::make_shared<RingSignal>(object(true), 3, true, futex));
  reader.useSignal(std::make_shared<RingSignal>(object(false), 3, false, futex));
  const uint32_t seen = reader.getSignal()->sequence();
  EXPECT_FALSE(reader.getSignal()->waitPast(seen, 1ms));

  Reading written;
  written.value = 42;
  std::thread writing([&] { writer.writeUserData(&written, 1700000000123456); });
  EXPECT_TRUE(reader.getSignal()->waitPast(seen, 10s));
  writing.join();

  Reading received;
  ASSERT_TRUE(reader.readUserData(&received));
  EXPECT_EQ(received.value, 42u);
  EXPECT_EQ(reader.lastReadStamp(), 1700000000123456u);
}

TEST_F(SignalledRing, SignalOfAnotherRingIsRefusedAndARingWithoutOneHasNoStamps) {
  auto made = object(true);
  RingSignal ownSignal(made, 3, true, futex);
  EXPECT_THROW(RingSignal(object(false), 2, false, futex), std::invalid_argument);
  EXPECT_THROW(RingSignal(object(false), 4, false, futex), std::invalid_argument);

  Reading written;
  writer.writeUserData(&written, 99);
  Reading received;
  ASSERT_TRUE(reader.readUserData(&received));
  EXPECT_EQ(reader.lastReadStamp(), 0u);
}

}  // namespace
}  // namespace VOK
