#include "SharedMemoryWrapperLinux.h"
#include "VOKException.h"
#include "VokShm.h"
#include "shmMapperServerOS.h"
#include "thrownText.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

namespace VOK {
namespace {

// Real POSIX shared memory under a name of this process; removed again
// whatever the test does.
class RealSharedMemory : public ::testing::Test {
 protected:
  std::shared_ptr<ISharedMemory> functions = std::make_shared<SharedMemoryWrapperLinux>();
  std::string name = "/vok_common_test_" + std::to_string(::getpid());

  void TearDown() override { ::shm_unlink(name.c_str()); }

  bool nameExists() const {
    const int fd = ::shm_open(name.c_str(), O_RDONLY, 0);
    if (fd >= 0) {
      ::close(fd);
    }
    return fd >= 0;
  }

  std::string openFailure(unsigned size, bool create) {
    return thrownText<VOKException>([&] { VokShm object(name, size, functions, create); });
  }
};

TEST_F(RealSharedMemory, CreatingAnExistingNameFailsWithTheExistsTextAndAnAttacherLeavesTheName) {
  VokShm first(name, 64, functions, true);
  { VokShm attacher(name, 16, functions, false); }
  EXPECT_TRUE(nameExists());
  EXPECT_EQ(openFailure(64, true),
            std::string("Error opening a shared memory - Error-Msg: ") + std::strerror(EEXIST));
  EXPECT_TRUE(nameExists()) << "the failed second creator must not unlink the first one's name";
}

TEST_F(RealSharedMemory, NameOfAProviderThatIsGoneIsTakenOverWithOneLogLine) {
  // What a killed provider leaves: the name, and no lock on it.
  const int left = ::shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
  ASSERT_NE(-1, left);
  ASSERT_EQ(0, ::ftruncate(left, 8));
  ::close(left);
  ::testing::internal::CaptureStdout();
  VokShm successor(name, 64, functions, true);
  EXPECT_EQ("Log: (VokShm::VokShm()): Replaced the stale ring " + name + " of a provider that is gone\n",
            ::testing::internal::GetCapturedStdout());
  EXPECT_EQ(successor.getSize(), 64u);
  EXPECT_EQ(openFailure(64, true),
            std::string("Error opening a shared memory - Error-Msg: ") + std::strerror(EEXIST))
      << "the successor is alive: its name is not taken over in turn";
}

TEST_F(RealSharedMemory, AttachingToAMissingNameFailsWithTheNoSuchFileText) {
  EXPECT_EQ(openFailure(16, false),
            std::string("Error opening a shared memory - Error-Msg: ") + std::strerror(ENOENT));
}

TEST_F(RealSharedMemory, AttacherFromTheMapperSeesTheCreatorsBytesAfterAResizeAndOutlivesItsName) {
  auto creator = std::make_unique<VokShm>(name, 4096, functions, true);
  std::memcpy(creator->getShmAdr(), "ring", 5);
  ShmMapperServerOS mapper(functions);
  std::shared_ptr<VokShm> attacher = mapper.provideShm(name, false, 16);
  mapper.resizeShm(attacher, 4096);
  EXPECT_STREQ(static_cast<const char*>(attacher->getShmAdr()), "ring");
  creator.reset();
  EXPECT_FALSE(nameExists());
  EXPECT_STREQ(static_cast<const char*>(attacher->getShmAdr()), "ring");
}

TEST_F(RealSharedMemory, MappingBeyondTheObjectIsRefusedAndTheOldMappingKept) {
  VokShm creator(name, 64, functions, true);
  VokShm attacher(name, 16, functions, false);
  const void* mapped = attacher.getShmAdr();
  EXPECT_EQ(thrownText<VOKException>([&] { attacher.resizeSharedMemory(65); }),
            "Error mapping a shared memory - Error-Msg: " + name + " holds 64 bytes, fewer than the 65 to be mapped");
  EXPECT_EQ(attacher.getShmAdr(), mapped);
  EXPECT_EQ(attacher.getSize(), 16u);
  EXPECT_EQ(static_cast<const unsigned char*>(mapped)[15], 0);
}

}  // namespace
}  // namespace VOK
