// Who believes whom on a machine with a second, unprivileged account: a
// broker posed by another user, a sign-in from another user and a ring of
// another user named in a reply. The other user is "nobody", through setpriv.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ServoLineTest.h"
#include "EmulatedLaunch.h"
#include "vok_itest.h"

using namespace std::chrono_literals;
using testing::HasSubstr;
using testing::Not;

namespace {

const std::string kAppName = "Remote_open_control_kit_enabled_target_(Zentor)";
const std::string kRing = "/" + kAppName + "Shm";
const std::string kForeignRing = "/vok_trust_foreign_ring";
// Channels 0..13 at 3, and the servo's end mark.
const std::string kFrameOfThrees = "33333333333333D";
const std::string kNobodyUid = "65534";

std::vector<std::string> asNobody(std::vector<std::string> argv) {
  // setpriv executes the program itself, so an emulated one comes with its emulator.
  argv = vok_itest::launchCommand(argv);
  argv.insert(argv.begin(), {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
  return argv;
}

std::vector<std::string> provider(const std::string& ring, const std::string& value, bool alone = false) {
  std::vector<std::string> argv{RING_PROVIDER_PATH, ring, value};
  if (alone) {
    argv.push_back("alone");
  }
  return argv;
}

// A process of nobody's under the broker's name, listening where apps look
// for the broker of its pid. Its socket file goes with it, also when it was killed.
class FakeBroker {
 public:
  FakeBroker()
      : process(asNobody({"/bin/bash", "-c", std::string("exec -a VOK_App /usr/bin/python3 ") + FAKE_BROKER_PATH})) {}
  ~FakeBroker() {
    process.sendSignal(SIGTERM);
    process.waitForExit(5s);
    ::unlink(path().c_str());
  }
  std::string path() const { return vok_itest::socketPathOf(process.pid()); }
  bool listening() const { return process.waitForOutput("listening ", 10s); }
  std::string output() const { return process.output() + process.errors(); }

 private:
  vok_itest::StartedProcess process;
};

struct stat statusOf(const std::string& ring) {
  struct stat status {};
  if (::stat(("/dev/shm" + ring).c_str(), &status) != 0) {
    status.st_uid = static_cast<uid_t>(-1);
  }
  return status;
}

uid_t ownerOf(const std::string& ring) { return statusOf(ring).st_uid; }

class Trust : public vok_itest::ServoLineTest {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) {
      GTEST_SKIP() << "needs root, to act as a second account";
    }
    ServoLineTest::SetUp();
  }

  // A feed of root's with the unit's umask (the group may read the ring the
  // servo obeys, not write it), signed in to broker: the controller puts its
  // frame on the line, and both end in order.
  void expectTheFeedOnTheLine(const vok_itest::BrokerProcess& broker) {
    const mode_t umaskBefore = ::umask(0007);
    vok_itest::StartedProcess feed(provider(kRing, "3"));
    ::umask(umaskBefore);
    ASSERT_TRUE(feed.waitForOutput("ring ", 20s)) << feed.output() << feed.errors();
    EXPECT_EQ(statusOf(kRing).st_mode & 0777, 0640u);
    vok_itest::BrokerProcess servo(SERVO_CONTROLLER_PATH, {});
    EXPECT_EQ(serial.read(kFrameOfThrees.size(), 15s), kFrameOfThrees) << servo.output() << broker.output();
    EXPECT_EQ(servo.interrupt(10s), std::optional<int>(0));
    serial.read(4096, 300ms);  // the frames written up to the stop
    feed.sendSignal(SIGINT);
    EXPECT_EQ(feed.waitForExit(10s), std::optional<int>(0));
  }

  vok_itest::ShmLeftovers leftovers{{kRing, kForeignRing}};
};

TEST_F(Trust, ServoUsesTheRealBrokerBesideAnotherUsersAndNoneWhenOnlyThatOneIsThere) {
  FakeBroker fake;
  ASSERT_TRUE(fake.listening()) << fake.output();
  {
    vok_itest::BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
    ASSERT_TRUE(broker.waitForSocketFile(10s));
    ASSERT_NO_FATAL_FAILURE(expectTheFeedOnTheLine(broker));
    EXPECT_EQ(broker.interrupt(10s), std::optional<int>(0));
  }

  vok_itest::BrokerProcess servo(SERVO_CONTROLLER_PATH, {});
  EXPECT_EQ(servo.waitForExit(60s), std::optional<int>(1)) << servo.output();
  EXPECT_THAT(servo.output(), HasSubstr("ERR: (vok_support/src/socketHandler::uxclientConnectToServer()<"));
  EXPECT_THAT(servo.output(), HasSubstr(">): Not using the broker at " + fake.path() + ": it runs as uid " +
                                        kNobodyUid + ", neither this app's user nor root\n"));
  EXPECT_THAT(fake.output(), Not(HasSubstr("received:"))) << "nothing is sent to a broker that is not believed";
  EXPECT_EQ(serial.read(1, 500ms), "");
}

// A socket file open to every account (umask 0): the broker itself turns the
// other account away.
TEST_F(Trust, SignInOfAnotherUserIsRefusedAtAcceptAndTakesNoAppsPlace) {
  const mode_t umaskBefore = ::umask(0);
  vok_itest::BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ::umask(umaskBefore);
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  vok_itest::StartedProcess intruder(asNobody(provider(kForeignRing, "15")));
  ASSERT_TRUE(broker.waitForOutput("ERR: (VOK_App/src/AppAdmission): Refused the connection <", 20s))
      << broker.output() << intruder.output() << intruder.errors();
  EXPECT_THAT(broker.output(), HasSubstr(" runs as uid " + kNobodyUid +
                                         ", neither the broker's user nor root nor in its group 0\n"));
  // Whether the refused app gives up at once or holds its ring for a while
  // depends on when the close reaches it; either way it is ended here.
  intruder.sendSignal(SIGINT);
  EXPECT_TRUE(intruder.waitForExit(10s).has_value());
  expectTheFeedOnTheLine(broker);
}

TEST_F(Trust, RingOfAnotherUserIsNeitherReadNorTakenOverWhileItsOwnerLives) {
  vok_itest::StartedProcess foreign(asNobody(provider(kForeignRing, "15", true)));
  ASSERT_TRUE(foreign.waitForOutput("ring ", 20s)) << foreign.output() << foreign.errors();
  ASSERT_EQ(ownerOf(kForeignRing), 65534u);

  // A sign-in of root's that announces nobody's ring as its own.
  vok_itest::BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(10s));
  const std::string signIn = "{\"" + kAppName + "\":{\"PID\":{pid},\"Provides\":{\"" + kForeignRing +
                             "\":{\"Signal\":10,\"Symbols\":{\"bramixData\":{\"Size\":15,\"Type\":\"int8_t\"}},"
                             "\"Type\":\"Provide\"}},\"Type\":\"ApplicationData\"},"
                             "\"Type\":\"ConnectToVOKConfig\",\"Version\":\"0.1\"}";
  vok_itest::StartedProcess announcer(
      {"/usr/bin/python3", WIRE_CLIENT_PATH, std::to_string(broker.pid()), "raw", signIn});
  ASSERT_TRUE(announcer.waitForOutput("pid:", 10s)) << announcer.errors();
  vok_itest::BrokerProcess servo(SERVO_CONTROLLER_PATH, {});
  EXPECT_EQ(servo.waitForExit(30s), std::optional<int>(1)) << servo.output();
  EXPECT_THAT(servo.output(), HasSubstr("Shared memory with ID: " + kForeignRing + " belongs to uid " + kNobodyUid +
                                        ", neither to the user of its provider (pid "));
  EXPECT_EQ(serial.read(1, 500ms), "") << "nothing of that ring reaches the line";

  // nobody's ring under the provider's own name: kept while its owner holds
  // it, replaced once the owner is gone.
  vok_itest::StartedProcess squatter(asNobody(provider(kRing, "15", true)));
  ASSERT_TRUE(squatter.waitForOutput("ring ", 20s)) << squatter.output() << squatter.errors();
  vok_itest::StartedProcess refused(provider(kRing, "3", true));
  EXPECT_TRUE(refused.waitForExit(10s).value_or(0) != 0) << refused.output();
  EXPECT_THAT(refused.output(), HasSubstr("Error opening a shared memory - Error-Msg: The ring name /dev/shm" + kRing +
                                          " belongs to uid " + kNobodyUid + " (nobody), not to this program's user 0;"
                                          " remove it as that user or root\n"));
  EXPECT_EQ(ownerOf(kRing), 65534u);
  squatter.sendSignal(SIGKILL);
  squatter.waitForExit(5s);
  vok_itest::StartedProcess successor(provider(kRing, "3", true));
  EXPECT_TRUE(successor.waitForOutput("ring ", 10s)) << successor.output();
  EXPECT_THAT(successor.output(), HasSubstr("Replaced the stale ring " + kRing));
  EXPECT_EQ(ownerOf(kRing), 0u);
  successor.sendSignal(SIGINT);
  EXPECT_EQ(successor.waitForExit(10s), std::optional<int>(0));
}

}  // namespace
