#include "MockSharedMemory.h"
#include "VOKException.h"
#include "VokShm.h"
#include "shmMapperServerOS.h"
#include "thrownText.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace VOK {
namespace {

using ::testing::_;
using ::testing::InSequence;
using ::testing::Return;
using ::testing::StrEq;
using ::testing::StrictMock;

const int kFd = 7;
const int kCreateFlags = O_RDWR | O_CREAT | O_EXCL;

// Two distinct addresses that stand for mappings; never dereferenced.
char firstMapping[64];
char secondMapping[64];

// What VokShm throws when the named step fails with the given error.
std::string failure(const char* step, int error) {
  return std::string("Error ") + step + " a shared memory - Error-Msg: " + std::strerror(error);
}

class VokShmCalls : public ::testing::Test {
 protected:
  std::shared_ptr<StrictMock<MockSharedMemory>> shm = std::make_shared<StrictMock<MockSharedMemory>>();

  // An object of the given size behind kFd, opened with the given flags.
  void expectOpen(const char* name, int flags, size_t objectSize) {
    EXPECT_CALL(*shm, _shm_open(StrEq(name), flags, 0644u)).WillOnce(Return(kFd));
    EXPECT_CALL(*shm, _fstat(kFd, _)).WillRepeatedly(ReportObjectSize(objectSize));
  }
  // The creator's lock on its object, taken after the open, released before the close.
  void expectOwnerLock() {
    EXPECT_CALL(*shm, _flock(kFd, LOCK_EX | LOCK_NB)).WillOnce(Return(0));
    EXPECT_CALL(*shm, _flock(kFd, LOCK_UN)).WillOnce(Return(0));
  }
};

TEST_F(VokShmCalls, CreatingSideOpensExclusivelyTruncatesAndMapsReadWrite) {
  InSequence order;
  EXPECT_CALL(*shm, _shm_open(StrEq("ring"), 0xC2, 0644u)).WillOnce(Return(kFd));
  EXPECT_CALL(*shm, _flock(kFd, LOCK_EX | LOCK_NB)).WillOnce(Return(0));
  EXPECT_CALL(*shm, _fstat(kFd, _)).WillOnce(ReportObjectSize(0));
  EXPECT_CALL(*shm, _ftruncate(kFd, 4096)).WillOnce(Return(0));
  EXPECT_CALL(*shm, _fstat(kFd, _)).WillOnce(ReportObjectSize(4096));
  EXPECT_CALL(*shm, _mmap(nullptr, 4096u, PROT_READ | PROT_WRITE, MAP_SHARED, kFd, 0)).WillOnce(Return(firstMapping));
  EXPECT_CALL(*shm, _munmap(firstMapping, 4096u)).WillOnce(Return(0));
  EXPECT_CALL(*shm, _shm_unlink(StrEq("ring"))).WillOnce(Return(0));
  EXPECT_CALL(*shm, _flock(kFd, LOCK_UN)).WillOnce(Return(0));
  EXPECT_CALL(*shm, _close(kFd)).WillOnce(Return(0));
  VokShm object("ring", 4096, shm, true);
  EXPECT_EQ(object.getShmAdr(), firstMapping);
}

TEST_F(VokShmCalls, AttachingSideMapsReadOnlyAlsoAfterResizeAndNeverUnlinks) {
  expectOpen("ring", O_RDONLY, 4096);
  {
    InSequence order;
    EXPECT_CALL(*shm, _mmap(nullptr, 16u, PROT_READ, MAP_SHARED, kFd, 0)).WillOnce(Return(firstMapping));
    EXPECT_CALL(*shm, _munmap(firstMapping, 16u)).WillOnce(Return(0));
    EXPECT_CALL(*shm, _mmap(nullptr, 4096u, PROT_READ, MAP_SHARED, kFd, 0)).WillOnce(Return(secondMapping));
    EXPECT_CALL(*shm, _munmap(secondMapping, 4096u)).WillOnce(Return(0));
    EXPECT_CALL(*shm, _close(kFd)).WillOnce(Return(0));
  }
  VokShm object("ring", 16, shm, false);
  object.resizeSharedMemory(4096);
  EXPECT_EQ(object.getShmAdr(), secondMapping);
  EXPECT_EQ(object.getSize(), 4096u);
}

TEST_F(VokShmCalls, FailedTruncateClosesAndUnlinksBeforeThrowing) {
  EXPECT_CALL(*shm, _shm_open(_, kCreateFlags, _)).WillOnce(Return(kFd));
  expectOwnerLock();
  EXPECT_CALL(*shm, _fstat(kFd, _)).WillOnce(ReportObjectSize(0));
  EXPECT_CALL(*shm, _ftruncate(kFd, _)).WillOnce(FailWith(ENOSPC));
  EXPECT_CALL(*shm, _shm_unlink(StrEq("ring"))).WillOnce(FailWith(ENOENT));
  EXPECT_CALL(*shm, _close(kFd)).WillOnce(Return(0));
  EXPECT_EQ(thrownText<VOKException>([&] { VokShm("ring", 64, shm, true); }), failure("truncating", ENOSPC));
}

TEST_F(VokShmCalls, FailedMapOnTheCreatingSideClosesAndUnlinks) {
  expectOpen("ring", kCreateFlags, 64);
  expectOwnerLock();
  EXPECT_CALL(*shm, _ftruncate(kFd, 64)).WillOnce(Return(0));
  EXPECT_CALL(*shm, _mmap(_, _, _, _, _, _)).WillOnce([](void*, size_t, int, int, int, long) {
    errno = ENOMEM;
    return MAP_FAILED;
  });
  EXPECT_CALL(*shm, _shm_unlink(StrEq("ring"))).WillOnce(Return(0));
  EXPECT_CALL(*shm, _close(kFd)).WillOnce(Return(0));
  EXPECT_EQ(thrownText<VOKException>([&] { VokShm("ring", 64, shm, true); }), failure("mapping", ENOMEM));
}

TEST_F(VokShmCalls, FailedMapOnTheAttachingSideClosesButNeverUnlinks) {
  expectOpen("ring", O_RDONLY, 64);
  EXPECT_CALL(*shm, _mmap(_, _, _, _, _, _)).WillOnce(Return(nullptr));
  EXPECT_CALL(*shm, _close(kFd)).WillOnce(Return(0));
  EXPECT_THAT(thrownText<VOKException>([&] { VokShm("ring", 16, shm, false); }),
              ::testing::StartsWith("Error mapping a shared memory - Error-Msg: "));
}

TEST_F(VokShmCalls, ObjectSmallerThanTheMappingIsRefusedInsteadOfFaultingLater) {
  expectOpen("ring", O_RDONLY, 8);
  EXPECT_CALL(*shm, _close(kFd)).WillOnce(Return(0));
  EXPECT_EQ(thrownText<VOKException>([&] { VokShm("ring", 16, shm, false); }),
            "Error mapping a shared memory - Error-Msg: ring holds 8 bytes, fewer than the 16 "
            "to be mapped");
}

TEST_F(VokShmCalls, FailedRemapStillStoresTheNewSize) {
  expectOpen("ring", O_RDONLY, 4096);
  EXPECT_CALL(*shm, _mmap(_, 16u, _, _, _, _)).WillOnce(Return(firstMapping));
  EXPECT_CALL(*shm, _munmap(firstMapping, 16u)).WillOnce(Return(0));
  EXPECT_CALL(*shm, _mmap(_, 4096u, _, _, _, _)).WillOnce(Return(MAP_FAILED));
  VokShm object("ring", 16, shm, false);
  EXPECT_THAT(thrownText<VOKException>([&] { object.resizeSharedMemory(4096); }),
              ::testing::StartsWith("Error mapping a shared memory - Error-Msg: "));
  EXPECT_EQ(object.getSize(), 4096u);
  EXPECT_EQ(object.getShmAdr(), nullptr);
  // Nothing is mapped any more, so only the descriptor is released.
  EXPECT_CALL(*shm, _close(kFd)).WillOnce(Return(0));
}

TEST_F(VokShmCalls, FailedUnmapDuringResizeThrowsWithTheSystemText) {
  expectOpen("ring", O_RDONLY, 4096);
  EXPECT_CALL(*shm, _mmap(_, 16u, _, _, _, _)).WillOnce(Return(firstMapping));
  EXPECT_CALL(*shm, _munmap(firstMapping, 16u)).WillOnce(FailWith(EINVAL)).WillOnce(Return(0));
  EXPECT_CALL(*shm, _close(kFd)).WillOnce(Return(0));
  VokShm object("ring", 16, shm, false);
  EXPECT_EQ(thrownText<VOKException>([&] { object.resizeSharedMemory(4096); }), failure("unmapping", EINVAL));
}

TEST_F(VokShmCalls, StaleObjectWhoseNameCannotBeRemovedFailsWithThatCause) {
  EXPECT_CALL(*shm, _shm_open(StrEq("/ring"), kCreateFlags, 0644u)).WillOnce(FailWith(EEXIST));
  EXPECT_CALL(*shm, _shm_open(StrEq("/ring"), O_RDONLY, 0644u)).WillOnce(Return(kFd));
  expectOwnerLock();
  EXPECT_CALL(*shm, _fstat(kFd, _)).WillOnce([](int, struct stat* status) {
    status->st_nlink = 1;
    return 0;
  });
  EXPECT_CALL(*shm, _shm_unlink(StrEq("/ring"))).WillOnce(FailWith(EPERM));
  EXPECT_CALL(*shm, _close(kFd)).Times(1);
  EXPECT_EQ(thrownText<VOKException>([&] { VokShm("/ring", 64, shm, true); }), failure("opening", EPERM));
}

// Two newcomers at once: before this one locked its new object, the other
// took it for a stale one and put its own under the name. Writing into the
// replaced object would feed nobody, so it is given up; the other's lives.
TEST_F(VokShmCalls, NewObjectReplacedBeforeItWasLockedIsGivenUpWithTheExistsText) {
  const int kSuccessors = 8;
  const struct {
    int lockResult;  // our lock on the new object
    nlink_t links;   // the new object's names when looked at
  } rows[] = {{0, 0}, {-1, 1}};
  for (const auto& row : rows) {
    EXPECT_CALL(*shm, _shm_open(StrEq("/ring"), kCreateFlags, 0644u)).WillOnce(Return(kFd));
    EXPECT_CALL(*shm, _flock(kFd, LOCK_EX | LOCK_NB)).WillOnce(Return(row.lockResult));
    EXPECT_CALL(*shm, _fstat(kFd, _)).WillRepeatedly([&row](int, struct stat* status) {
      status->st_nlink = row.links;
      return 0;
    });
    EXPECT_CALL(*shm, _flock(kFd, LOCK_UN)).Times(row.lockResult == 0 ? 1 : 0);
    EXPECT_CALL(*shm, _close(kFd)).WillOnce(Return(0));
    // The name's object now: the successor's, locked by it.
    EXPECT_CALL(*shm, _shm_open(StrEq("/ring"), O_RDONLY, 0644u)).WillOnce(Return(kSuccessors));
    EXPECT_CALL(*shm, _flock(kSuccessors, LOCK_EX | LOCK_NB)).WillOnce(FailWith(EWOULDBLOCK));
    EXPECT_CALL(*shm, _close(kSuccessors)).WillOnce(Return(0));
    EXPECT_EQ(thrownText<VOKException>([&] { VokShm("/ring", 64, shm, true); }), failure("opening", EEXIST));
    ::testing::Mock::VerifyAndClearExpectations(shm.get());
  }
}

TEST(VokShmArguments, NullWrappersAreRefused) {
  EXPECT_EQ(thrownText<std::invalid_argument>([] { VokShm("ring", 16, nullptr, false); }),
            "Pointer to sharedMemory function wrapper must not be a nullptr");
  EXPECT_EQ(thrownText<std::invalid_argument>([] { ShmMapperServerOS mapper(nullptr); }),
            "Error: ShmMapperServerOS: Shared-memory-Object must not be null");
}

}  // namespace
}  // namespace VOK
