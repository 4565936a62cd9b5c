#include "DdsItest.h"

#include <cstdlib>

namespace vok_itest {

std::string everything(const StartedProcess& process) { return process.output() + process.errors(); }

bool exitsWith(ChildProcess& process, int signal, int status) {
  process.sendSignal(signal);
  return process.waitForExit(std::chrono::seconds(10)) == std::optional<int>(status);
}

Argv on(Argv host, const Argv& command) {
  host.insert(host.end(), command.begin(), command.end());
  return host;
}

void DdsBridgeTest::SetUp() { ::setenv("CYCLONEDDS_URI", "file://" DDS_CONFIG_DIR "/loopback.xml", 1); }

}  // namespace vok_itest
