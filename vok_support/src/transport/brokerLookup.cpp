#include "brokerLookup.h"

#include "listeningSocket.h"
#include "log_datalayer.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The pids of one pidof output line (blank-separated decimals), at most kMaxBrokers.
std::vector<int> listedPids(const std::string& pidofLine) {
  std::vector<int> pids;
  std::vector<char> text(pidofLine.begin(), pidofLine.end());
  text.push_back('\0');
  char* rest = nullptr;
  for (char* piece = strtok_r(text.data(), " ", &rest); piece != nullptr && pids.size() < kMaxBrokers;
       piece = strtok_r(nullptr, " ", &rest)) {
    pids.push_back(static_cast<int>(std::strtol(piece, nullptr, 10)));
  }
  return pids;
}

bool readPidofLine(std::string& line) {
  char buffer[1024] = {};
  FILE* pipe = ::popen("pidof VOK_App", "r");
  const bool gotLine = pipe != nullptr && std::fgets(buffer, sizeof(buffer), pipe) != nullptr;
  if (pipe != nullptr) {
    ::pclose(pipe);
  }
  line = buffer;
  return gotLine;
}

}  // namespace

std::string brokerSocketPath(int pid) {
  return "/tmp/sock_" + std::to_string(pid) + ".uds";
}

std::vector<int> reachableBrokers(const std::set<int>& refused) {
  const ListeningSockets listening;
  // Code running inside a broker (its test mode) talks to that broker.
  const int own = static_cast<int>(::getpid());
  if (listening.at(brokerSocketPath(own))) {
    return {own};
  }
  std::string line;
  if (!readPidofLine(line)) {
    log(LOG_ERROR, "SocketHandler::getServerPID", "Unable to get the server pidof");
    return {};
  }
  // pidof also lists children that a broker forked and that still bear its
  // name, and brokers that have not bound their socket yet or have died.
  std::vector<int> brokers;
  for (int candidate : listedPids(line)) {
    if (refused.count(candidate) == 0 && listening.at(brokerSocketPath(candidate))) {
      brokers.push_back(candidate);
    }
  }
  return brokers;
}

int pickBroker(const std::vector<int>& brokers, unsigned index) {
  if (index >= kMaxBrokers) {
    return 0;
  }
  if (index < brokers.size() && brokers[index] != 0) {
    return brokers[index];
  }
  return brokers.empty() ? 0 : brokers.front();
}

int selectBrokerPid(const std::string& pidofLine, unsigned index) {
  return pickBroker(listedPids(pidofLine), index);
}

bool brokerAcceptsConnections(int pid) {
  return ListeningSockets().at(brokerSocketPath(pid));
}
