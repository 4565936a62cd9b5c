#pragma once

// What the DDS bridge's tests share: the domain, the rings and servo-line
// frames they look for, and small helpers around the processes they start.
#include <stdlib.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Eventually.h"
#include "vok_itest.h"

namespace vok_itest {

using Argv = std::vector<std::string>;

inline const std::string kDomain = "42";
inline const std::string kCameraRing = "ZentorMotion(ZM)Shm";
inline const std::string kCommandRing = "/Remote_open_control_kit_enabled_target_(Zentor)Shm";
inline const std::string kDrive = "1,11,15,8,8,8,8,8,8,8,8,8,8,8,13";  // the tool's "set 1,11,15"
inline const std::string kDriveFrame = "1BF88888888888D";
inline const std::string kSteer = "3,3,3,8,8,8,8,8,8,8,8,8,8,8,13";
inline const std::string kSteerFrame = "33388888888888D";
inline const std::string kNeutralFrame = "88888888888888D";

// The standard output and error of process, for a failure message.
inline std::string everything(const StartedProcess& process) { return process.output() + process.errors(); }

// Whether process, sent signal, exits with status within 10 s.
inline bool exitsWith(ChildProcess& process, int signal, int status) {
  process.sendSignal(signal);
  return process.waitForExit(std::chrono::seconds(10)) == std::optional<int>(status);
}

// A command as its host starts it: the host's prefix (none: this machine) first.
inline Argv on(Argv host, const Argv& command) {
  host.insert(host.end(), command.begin(), command.end());
  return host;
}

// Each test's own processes on loopback, by the example configuration.
class DdsBridgeTest : public testing::Test {
 protected:
  void SetUp() override { ::setenv("CYCLONEDDS_URI", "file://" DDS_CONFIG_DIR "/loopback.xml", 1); }
};

}  // namespace vok_itest
