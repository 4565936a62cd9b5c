// Sign-in end to end against a real VOK_App.
#include "SocketWrapperLinux.h"
#include "socketHandler.h"
#include "vok_itest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using vok_itest::BrokerProcess;
using vok_itest::StartedProcess;

const std::string kZentor = "Remote_open_control_kit_enabled_target_(Zentor)";
const std::string kConnector = "VOK_App/src/AppConnector::waitForNewAppToConnect";

void expectInOrder(const std::string& text, const std::vector<std::string>& lines) {
  size_t from = 0;
  for (const std::string& line : lines) {
    size_t at = text.find(line, from);
    ASSERT_NE(std::string::npos, at) << "missing, or out of order: " << line << "\n--- output:\n" << text;
    from = at + line.size();
  }
}

// The number written right after marker, e.g. the descriptor in "<7>".
int numberAfter(const std::string& text, const std::string& marker, size_t from = 0) {
  size_t at = text.find(marker, from);
  return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + marker.size());
}

// The descriptor the broker logged in the dump of the app with this pid.
int descriptorOf(const std::string& brokerLog, int pid) {
  size_t dump = brokerLog.find("AppData-Pid: " + std::to_string(pid) + "\n");
  return dump == std::string::npos ? -1 : numberAfter(brokerLog, "socketfd: <", dump);
}

std::string environmentReply(int lifetime) {
  return "{\"ConfigData\":{\"SegmentLifetime\":" + std::to_string(lifetime) +
         "},\"Type\":\"ConfigDataResponse\",\"Version\":\"0.1\"}";
}

// The rings of the command-feed-style provider and of the Python client's app.
const std::string kZentorRing = R"("Description":"Zentor for Bramix","Signal":10,"Symbols":{"bramixData":)"
                                R"({"Offset":4,"Size":15,"Type":"int8_t"}},"Type":"Provide","Version":"V0.1")";
const std::string kPythonRing = R"("Description":"py","Signal":10,"Symbols":)"
                                R"({"v":{"Offset":0,"Size":4,"Type":"int32_t"}},"Type":"Provide","Version":"0.1")";

// The broker's reply to a consumer of name: its provider (pid) with ring, then the broker itself.
std::string providerReply(const std::string& name, int pid, const std::string& ring, pid_t broker) {
  return R"({"DataProviderAvailable":{")" + name + R"(":{"Description":"","Manufacturer":"","PID":)" +
         std::to_string(pid) + R"(,"Provides":{")" + name + R"(Shm":{)" + ring +
         R"(}},"Type":"ApplicationData","Version":"0.1"}},"Type":"ConnectToVOKResult","VOKInformation":)"
         R"({"ErrorMessage":"OK","Result":"connected","VOKPid":)" + std::to_string(broker) +
         R"(,"VOKVersion":"0.1"},"Version":"0.1"})";
}

std::unique_ptr<StartedProcess> startApp(const std::string& role, const BrokerProcess& broker) {
  return std::make_unique<StartedProcess>(
      std::vector<std::string>{HANDSHAKE_APP_PATH, role, std::to_string(broker.pid())});
}

std::unique_ptr<StartedProcess> startPython(const BrokerProcess& broker, const std::string& mode,
                                            const std::string& argument) {
  return std::make_unique<StartedProcess>(std::vector<std::string>{
      "/usr/bin/python3", WIRE_CLIENT_PATH, std::to_string(broker.pid()), mode, argument});
}

// An accepted connection that never says anything.
std::unique_ptr<SocketHandler> silentClient(const BrokerProcess& broker) {
  auto client = std::make_unique<SocketHandler>(std::make_shared<SocketWrapperLinux>(), 0);
  client->setUDS(broker.pid());
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    fd = client->uxclientConnectToServer(0);
  }
  EXPECT_GT(fd, 0);
  return client;
}

// Stopped by SIGINT (status 0), or on its own after a pass failed (status 1).
void expectOrderlyStop(BrokerProcess& broker, bool interrupt) {
  std::optional<int> status = interrupt ? broker.interrupt(10s) : broker.waitForExit(10s);
  ASSERT_TRUE(status.has_value()) << broker.output();
  EXPECT_EQ(interrupt ? 0 : 1, *status);
  EXPECT_FALSE(vok_itest::fileExists(broker.socketPath()));
  EXPECT_NE(std::string::npos, broker.output().find("Log: (VOK_App/src/main): About to clean up and stop VOK-Process\n"));
}

bool finished(StartedProcess& process) { return process.waitForExit(30s) == 0; }

TEST(Handshake, ConsumerFirstIsAnsweredWithItsProviderAndTheProviderGetsNothing) {
  BrokerProcess broker(VOK_APP_PATH, {"-c", "2", "-l", "33"});
  ASSERT_TRUE(broker.waitForSocketFile(5s)) << broker.output();
  auto consumer = startApp("consumer", broker);
  ASSERT_TRUE(consumer->waitForOutput("handshake_app: connected\n", 5s)) << consumer->output();
  const auto providerStart = std::chrono::steady_clock::now();
  auto provider = startApp("provider", broker);
  ASSERT_TRUE(finished(*consumer)) << consumer->output();
  ASSERT_TRUE(finished(*provider)) << provider->output();
  EXPECT_GE(std::chrono::steady_clock::now() - providerStart, 1s) << "the provider must wait its full time";

  expectInOrder(consumer->output(),
                {"handshake_app: environment: 0.1 33\n", "handshake_app: signed in\n",
                 "handshake_app: reply: " + providerReply(kZentor, provider->pid(), kZentorRing, broker.pid()) + "\n"});
  const std::string provided = provider->output();
  expectInOrder(provided, {"handshake_app: environment: 0.1 33\n", "handshake_app: not signed in\n"});
  EXPECT_EQ(std::string::npos, provided.find("handshake_app: reply:")) << provided;
  EXPECT_EQ(std::string::npos, provided.find("sign-in exception")) << provided;

  const std::string log = broker.output();
  const int consumerFd = descriptorOf(log, consumer->pid());
  const int providerFd = descriptorOf(log, provider->pid());
  expectInOrder(log, {"Log: (" + kConnector + "): Connection to server established\n",
                      "Log: (VOK_App/src/main): AppData-Pid: " + std::to_string(consumer->pid()) + "\n",
                      "Log: (VOK_App/src/main): No. of Request Objects:1\n",
                      "Log: (" + kConnector + "): Connection to server established\n",
                      "Log: (VOK_App/src/main): AppData-Pid: " + std::to_string(provider->pid()) + "\n",
                      "Log: (VOK_App/src/main): provide-name: " + kZentor + "Shm\n",
                      "ERR: (Apps/VOK_App/src/matchMaker): ApplicationData found but no Provides available\n",
                      "Log: (VOK_App/src/main::interlock()): 1 provider for <" + std::to_string(consumerFd) + "> " +
                          kZentor + "\n",
                      "Log: (VOK_App/src/main::interlock()): 0 provider for <" + std::to_string(providerFd) + "> " +
                          kZentor + "\n"});
  expectOrderlyStop(broker, true);
}

TEST(Handshake, ProviderStartedSecondsEarlierIsStillAnnouncedToItsConsumer) {
  BrokerProcess broker(VOK_APP_PATH, {"-c", "2", "-l", "44"});
  ASSERT_TRUE(broker.waitForSocketFile(5s)) << broker.output();
  auto provider = startApp("provider", broker);
  // Its environment request goes unanswered: it takes the default and signs in.
  ASSERT_TRUE(provider->waitForOutput("handshake_app: environment: 0.1 10\n", 10s)) << provider->output();
  std::this_thread::sleep_for(1s);
  auto consumer = startApp("consumer", broker);
  ASSERT_TRUE(finished(*consumer)) << consumer->output();
  ASSERT_TRUE(finished(*provider)) << provider->output();
  expectInOrder(consumer->output(),
                {"handshake_app: environment: 0.1 44\n",
                 "handshake_app: reply: " + providerReply(kZentor, provider->pid(), kZentorRing, broker.pid()) + "\n"});
  EXPECT_NE(-1, descriptorOf(broker.output(), provider->pid())) << broker.output();
  EXPECT_EQ(std::string::npos, broker.output().find("did not connect")) << broker.output();
  expectOrderlyStop(broker, true);
}

TEST(Handshake, SilentConnectionIsDroppedAndTheStandardLibraryClientsAreServed) {
  BrokerProcess broker(VOK_APP_PATH, {"-c", "3", "-l", "55"});
  ASSERT_TRUE(broker.waitForSocketFile(5s)) << broker.output();
  auto silent = silentClient(broker);
  auto separate = startPython(broker, "separate", "PyApp");
  ASSERT_TRUE(separate->waitForOutput("pid:", 5s));
  auto combined = startPython(broker, "combined", "PyTwo");
  ASSERT_TRUE(finished(*separate)) << separate->output() << separate->errors();
  ASSERT_TRUE(finished(*combined)) << combined->output() << combined->errors();

  const std::string log = broker.output();
  const int silentFd = numberAfter(log, "ERR: (" + kConnector + "): <");
  ASSERT_GT(silentFd, 0) << log;
  expectInOrder(log, {"ERR: (" + kConnector + "): <" + std::to_string(silentFd) +
                          "> did not connect, are you using ARM platform? Reducing the shared memory size may help.\n",
                      "ERR: (VOK_App/src/main:intercept()): missing ConfigurationData for <" +
                          std::to_string(silentFd) + ">\n",
                      "Log: (VOK_App/src/main): AppData-App-Name: PyApp\n",
                      "Log: (VOK_App/src/main): AppData-App-Name: PyTwo\n"});
  for (auto* client : {separate.get(), combined.get()}) {
    const std::string out = client->output();
    const std::string name = client == separate.get() ? "PyApp" : "PyTwo";
    const int pid = numberAfter(out, "pid:");
    expectInOrder(out, {"env:" + environmentReply(55) + "\n",
                        "reply:" + providerReply(name, pid, kPythonRing, broker.pid()) + "\n"});
  }
  expectOrderlyStop(broker, true);
}

TEST(Handshake, SignInWithoutMandatoryAttributeStopsTheBrokerInOrder) {
  BrokerProcess broker(VOK_APP_PATH, {"-c", "1"});
  ASSERT_TRUE(broker.waitForSocketFile(5s)) << broker.output();
  auto client = startPython(broker, "raw", "{\"A\":{\"PID\":{pid},\"Type\":\"ApplicationData\"},\"Type\":\"ConnectToVOKConfig\"}");
  expectOrderlyStop(broker, false);
  expectInOrder(broker.output(),
                {"ERR: (vok_support/src/configurationDataFactory): Could not find argument Version in json file - "
                 "contains failed\n",
                 "ERR: (VOK_App/src/main:intercept()): N24ConfigurationDataFactory25AttributeMissingExceptionE\n",
                 "Log: (VOK_App/src/main): About to clean up and stop VOK-Process\n"});
  ASSERT_TRUE(finished(*client));
  EXPECT_NE(std::string::npos, client->output().find("received:\n")) << client->output();
}

TEST(Handshake, DuplicateProviderIsLoggedTwiceAndStopsTheBroker) {
  BrokerProcess broker(VOK_APP_PATH, {"-c", "2"});
  ASSERT_TRUE(broker.waitForSocketFile(5s)) << broker.output();
  const std::string provides =
      "\"Provides\":{\"DupShm\":{\"Signal\":10,\"Symbols\":{\"v\":{\"Size\":1,\"Type\":\"char\"}},\"Type\":\"Provide\"}}";
  const std::string requests =
      "\"Requests\":{\"Dup\":{\"Symbols\":{\"v\":{\"Size\":1,\"Type\":\"char\"}},\"Type\":\"Request\"}}";
  const std::string tail = ",\"Type\":\"ApplicationData\"},\"Type\":\"ConnectToVOKConfig\",\"Version\":\"0.1\"}";
  auto first = startPython(broker, "raw", "{\"Dup\":{\"PID\":{pid}," + provides + "," + requests + tail);
  ASSERT_TRUE(first->waitForOutput("pid:", 5s));
  auto second = startPython(broker, "raw", "{\"Dup\":{\"PID\":{pid}," + provides + tail);
  expectOrderlyStop(broker, false);
  expectInOrder(broker.output(), {"ERR: (Apps/VOK_App/src/matchMaker): Provide is duplicated\n",
                                  "ERR: (VOK_App/src/main::interlock()): Provide is duplicated\n",
                                  "Log: (VOK_App/src/main): About to clean up and stop VOK-Process\n"});
  EXPECT_EQ(std::string::npos, broker.output().find(" provider for <")) << broker.output();
}

// A stop while the broker waits for a sign-in ends that wait with its own line.
TEST(Handshake, SigintDuringASignInWaitStopsInOrder) {
  BrokerProcess broker(VOK_APP_PATH, {"-c", "1"});
  ASSERT_TRUE(broker.waitForSocketFile(5s)) << broker.output();
  auto silent = silentClient(broker);
  ASSERT_TRUE(broker.waitForOutput("Connection to server established", 5s)) << broker.output();
  expectOrderlyStop(broker, true);
  expectInOrder(broker.output(), {"Log: (VOK_App/src/main): Caught Stop-signal\n",
                                  "ERR: (VOK_App/src/main:intercept()): StopProcess set<",
                                  "Log: (VOK_App/src/main): About to clean up and stop VOK-Process\n"});
}

}  // namespace
