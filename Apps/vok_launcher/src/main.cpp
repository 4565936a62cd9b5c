// vok_launcher: starts the broker and its apps as one chain and keeps it
// running.
#include "ProcessWrapperLinux.h"
#include "chainFile.h"
#include "launcherLog.h"
#include "launcherOptions.h"
#include "supervisor.h"

#include <memory>
#include <optional>
#include <stdexcept>

int main(int argc, char** argv) {
  const LauncherCommand command = parseLauncherOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (const std::optional<int> status = VOK::answerInstead(command)) {
    return *status;
  }
  std::vector<CommandLine> chain;
  try {
    chain = readChainFile(command.options.chainFile);
  } catch (const std::invalid_argument& e) {
    launcherLog(LOG_ERROR, e.what());
    return 1;
  }
  Supervisor supervisor(std::make_shared<ProcessWrapperLinux>(), std::move(chain), command.options);
  return supervisor.run();
}
