#include "SocketWrapperLinux.h"
#include "socketHandler.h"
#include "vok_itest.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <memory>
#include <vector>

namespace {

using namespace std::chrono_literals;
using vok_itest::BrokerProcess;

// Lines in the order they must appear, each after the previous one.
void expectInOrder(const std::string& text, const std::vector<std::string>& lines) {
  size_t from = 0;
  for (const std::string& line : lines) {
    size_t at = text.find(line, from);
    ASSERT_NE(std::string::npos, at) << "missing, or out of order: " << line << "\n--- output:\n" << text;
    from = at + line.size();
  }
}

// A SocketHandler client pointed at the broker under test (not at whatever
// pidof lists first, which may be another broker on a shared machine).
std::unique_ptr<SocketHandler> connectClient(const BrokerProcess& broker) {
  auto client = std::make_unique<SocketHandler>(std::make_shared<SocketWrapperLinux>(), 0);
  client->setUDS(broker.pid());
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    fd = client->uxclientConnectToServer(0);
  }
  EXPECT_EQ(client->getSocketFd(), fd);
  return client;
}

const std::string kInfo = "Log: (VOK_App/src/main): ";
const std::string kError = "ERR: (VOK_App/src/main): ";

TEST(BrokerLifecycle, GoesToBackgroundAcceptsItsCountAndStopsCleanlyOnSigint) {
  BrokerProcess broker(VOK_APP_PATH, {"--count", "3"});
  EXPECT_EQ(0, broker.commandStatus());
  EXPECT_LT(broker.commandDuration(), 2000ms);
  ASSERT_TRUE(broker.waitForSocketFile(5s)) << broker.output();
  EXPECT_EQ(vok_itest::socketPathOf(broker.pid()), broker.socketPath());

  std::vector<std::unique_ptr<SocketHandler>> clients;
  for (int i = 0; i < 3; ++i) {
    clients.push_back(connectClient(broker));
  }
  // The sign-in pass starts only once all three are accepted.
  ASSERT_TRUE(broker.waitForOutput("Connection to server established", 5s)) << broker.output();
  ASSERT_EQ(broker.interrupt(5s), std::optional<int>(0)) << broker.output();
  EXPECT_FALSE(vok_itest::fileExists(broker.socketPath()));
  // The command's line and the broker's first lines race: no order between them.
  EXPECT_NE(std::string::npos, broker.output().find(kInfo + "going into daemon mode\n"));
  expectInOrder(broker.output(), {kInfo + "SegmentLifeTime:10\n",
                                  kInfo + "|---------------------------------------|\n",
                                  kInfo + "| This is the VOK App                   |\n",
                                  kInfo + "|---------------------------------------|\n",
                                  kInfo + "Setup server socket complete: 0\n",
                                  kInfo + "Server listening inbound connections: 0\n",
                                  kInfo + "Caught Stop-signal\n",
                                  kInfo + "About to clean up and stop VOK-Process\n"});
}

TEST(BrokerLifecycle, SigintWhileWaitingForTheSecondAppStopsInOrder) {
  BrokerProcess broker(VOK_APP_PATH, {"-l", "0x10"});
  ASSERT_TRUE(broker.waitForSocketFile(5s)) << broker.output();
  auto first = connectClient(broker);
  ASSERT_EQ(broker.interrupt(5s), std::optional<int>(0)) << broker.output();
  EXPECT_FALSE(vok_itest::fileExists(broker.socketPath()));
  expectInOrder(broker.output(), {kInfo + "SegmentLifeTime:16\n", kInfo + "Caught Stop-signal\n",
                                  kInfo + "About to clean up and stop VOK-Process\n"});
}

TEST(BrokerLifecycle, RefusedCommandLinesEndWith255AndLeaveNoSocketFile) {
  struct Row {
    std::vector<std::string> arguments;
    std::vector<std::string> lines;
  };
  const std::string invalid = "does not represent a valid positive numeric value.\n";
  const std::vector<Row> rows = {
      {{"-l", "0"}, {kError + "0 is not an allowed parameter for -l / --lifetime.\n"}},
      {{"--lifetime", "0"}, {kError + "0 is not an allowed parameter for -l / --lifetime.\n"}},
      {{"--count", "abc"},
       {"ERR: (CommandParser::parseArguments()): Parameter value (abc) for '--count'" + invalid,
        kError + "Parameter value (abc) for '--count'" + invalid}},
  };
  for (const Row& row : rows) {
    BrokerProcess broker(VOK_APP_PATH, row.arguments);
    EXPECT_EQ(0, broker.commandStatus());
    ASSERT_EQ(broker.waitForExit(5s), std::optional<int>(255)) << broker.output();
    EXPECT_FALSE(vok_itest::fileExists(broker.socketPath()));
    std::vector<std::string> lines = row.lines;
    lines.push_back(kError + "Terminating VOK because invocation with wrong parameters\n");
    expectInOrder(broker.output(), lines);
    EXPECT_EQ(std::string::npos, broker.output().find("This is the VOK App"));
  }
}

}  // namespace
