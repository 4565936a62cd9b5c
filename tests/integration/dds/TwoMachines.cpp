#include "TwoMachines.h"

#include <unistd.h>

namespace vok_itest {

TwoMachines::TwoMachines() {
  const std::string id = std::to_string(::getpid() % 100000);
  for (int i = 0; i < 2; ++i) {
    names[i] = "vokdds" + id + (i == 0 ? "a" : "b");
    links[i] = "vkd" + id + (i == 0 ? "a" : "b");
  }
  made = run({"ip", "netns", "add", names[0]}) && run({"ip", "netns", "add", names[1]}) &&
         run({"ip", "link", "add", links[0], "type", "veth", "peer", "name", links[1]});
  for (int i = 0; made && i < 2; ++i) {
    made = run({"ip", "link", "set", links[i], "netns", names[i]}) &&
           run({"ip", "-n", names[i], "addr", "add", address(i) + "/24", "dev", links[i]}) &&
           run({"ip", "-n", names[i], "link", "set", links[i], "up"}) &&
           run({"ip", "-n", names[i], "link", "set", "lo", "up"});
  }
}

TwoMachines::~TwoMachines() {
  for (const std::string& name : names) {
    run({"ip", "netns", "delete", name});
  }
  // Only left when a namespace could not take its end.
  run({"ip", "link", "delete", links[0]});
}

Argv TwoMachines::on(int i) const {
  return {"/usr/bin/ip", "netns", "exec", names[i], "/usr/bin/env",
          "CYCLONEDDS_URI=file://" DDS_CONFIG_DIR "/lan.xml", "VOK_DDS_INTERFACE=" + links[i],
          "VOK_DDS_PEER=" + address(1 - i)};
}

std::string TwoMachines::address(int i) { return "10.231.7." + std::to_string(i + 1); }

bool TwoMachines::run(Argv command) {
  command[0] = "/usr/bin/" + command[0];
  StartedProcess process(command);
  return process.waitForExit(std::chrono::seconds(10)) == std::optional<int>(0);
}

}  // namespace vok_itest
