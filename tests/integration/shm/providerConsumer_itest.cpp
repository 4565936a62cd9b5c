#include "vok_itest.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

bool shmNameExists(const std::string& name) {
  const int fd = ::shm_open(name.c_str(), O_RDONLY, 0);
  if (fd >= 0) {
    ::close(fd);
  }
  return fd >= 0;
}

// A provider process writes a counter record every millisecond into a ring
// sized for a 10 ms lifetime; a consumer process attaches by name and polls.
TEST(ProviderConsumer, ConsumerReadsTheNewestRecordAndKeepsTheLastOneAfterTheProviderGoes) {
  const std::string name = "/vok_ring_" + std::to_string(::getpid());
  vok_itest::ShmLeftovers leftovers({name});
  vok_itest::StartedProcess provider({SHM_RING_PROVIDER, name, "10", "1000"});
  ASSERT_TRUE(provider.waitForOutput("segments 13\n", 10s)) << provider.output() << provider.errors();

  vok_itest::StartedProcess consumer({SHM_RING_CONSUMER, name, "10"});
  ASSERT_TRUE(consumer.waitForOutput("mapping r--s\n", 10s)) << consumer.output() << consumer.errors();
  ASSERT_TRUE(consumer.waitForOutput("newest ", 10s));
  std::this_thread::sleep_for(300ms);

  provider.sendSignal(SIGINT);
  ASSERT_EQ(provider.waitForExit(10s), 0) << provider.errors();
  unsigned long long lastWritten = 0;
  const std::string released = provider.output().substr(provider.output().find("released"));
  ASSERT_EQ(std::sscanf(released.c_str(), "released after %llu", &lastWritten), 1);
  EXPECT_FALSE(shmNameExists(name)) << "the provider's connection must unlink its ring";

  const std::string last = std::to_string(lastWritten);
  EXPECT_TRUE(consumer.waitForOutput("newest " + last + " sample " + last + "\n", 5s))
      << consumer.output();
  std::this_thread::sleep_for(100ms);
  EXPECT_FALSE(consumer.hasExited());
  consumer.sendSignal(SIGINT);
  EXPECT_EQ(consumer.waitForExit(10s), 0) << consumer.errors();
  EXPECT_NE(consumer.output().find("last " + last + "\n"), std::string::npos) << consumer.output();
  // More than one value seen: the consumer follows the newest record.
  EXPECT_NE(consumer.output().find("newest "), consumer.output().rfind("newest "));
}

}  // namespace
