#include "AppAdmission.h"

#include "mockSocketFunctions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

using ::testing::_;
using ::testing::Invoke;
using ::testing::NiceMock;

using namespace broker;

namespace {

constexpr int kFd = 9;
constexpr uid_t kBrokerUid = 1000;
constexpr gid_t kBrokerGid = 990;

struct Peer {
  uid_t uid;
  gid_t gid;
  std::vector<gid_t> groups;
  bool admitted;
};

class Admission : public ::testing::TestWithParam<Peer> {
 protected:
  std::shared_ptr<NiceMock<MockSocketFunctions>> functions = std::make_shared<NiceMock<MockSocketFunctions>>();
};

TEST_P(Admission, AdmitsTheBrokersUserRootAndItsGroupAndClosesAnyOtherWithOneLine) {
  const Peer& row = GetParam();
  EXPECT_CALL(*functions, _getsockopt(kFd, SOL_SOCKET, SO_PEERCRED, _, _))
      .WillOnce(Invoke([&](int, int, int, void* value, unsigned*) {
        *static_cast<ucred*>(value) = ucred{4321, row.uid, row.gid};
        return 0;
      }));
  EXPECT_CALL(*functions, _getsockopt(kFd, SOL_SOCKET, SO_PEERGROUPS, _, _))
      .WillRepeatedly(Invoke([&](int, int, int, void* value, unsigned* length) {
        std::copy(row.groups.begin(), row.groups.end(), static_cast<gid_t*>(value));
        *length = static_cast<unsigned>(row.groups.size() * sizeof(gid_t));
        return 0;
      }));
  EXPECT_CALL(*functions, _close(kFd)).Times(row.admitted ? 0 : 1);
  AppAdmission admission(functions, kBrokerUid, kBrokerGid);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(row.admitted, admission.admit(kFd));
  const std::string logged = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(row.admitted ? "" : "ERR: (VOK_App/src/AppAdmission): Refused the connection <9>: pid 4321 runs as uid " +
                                    std::to_string(row.uid) + ", neither the broker's user nor root nor in its group 990\n",
            logged);
}

INSTANTIATE_TEST_SUITE_P(
    Peers, Admission,
    ::testing::Values(Peer{kBrokerUid, 100, {}, true}, Peer{0, 0, {}, true}, Peer{2000, kBrokerGid, {}, true},
                      Peer{2000, 2000, {5, kBrokerGid}, true}, Peer{2000, 2000, {5}, false},
                      Peer{65534, 65534, {}, false}));

TEST(AdmissionWithoutCredentials, PeerTheKernelCannotNameIsRefused) {
  auto functions = std::make_shared<NiceMock<MockSocketFunctions>>();
  EXPECT_CALL(*functions, _getsockopt(kFd, SOL_SOCKET, SO_PEERCRED, _, _)).WillOnce(Invoke([](auto&&...) {
    errno = ENOTSOCK;
    return -1;
  }));
  EXPECT_CALL(*functions, _close(kFd)).Times(1);
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(AppAdmission(functions, kBrokerUid, kBrokerGid).admit(kFd));
  EXPECT_EQ(std::string("ERR: (VOK_App/src/AppAdmission): Refused the connection <9>: cannot tell who connected - error: ") +
                std::strerror(ENOTSOCK) + "\n",
            ::testing::internal::GetCapturedStdout());
}

}  // namespace
