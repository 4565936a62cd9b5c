// vok_launcher: starts the broker and its apps as one chain and keeps it
// running.
#include "ProcessWrapperLinux.h"
#include "chainFile.h"
#include "launcherLog.h"
#include "launcherOptions.h"
#include "runApp.h"
#include "supervisor.h"

#include <memory>
#include <optional>

int main(int argc, char** argv) {
  const LauncherCommand command = parseLauncherOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (const std::optional<int> status = VOK::answerInstead(command)) {
    return *status;
  }
  // No stop signals of the process's own: the supervisor blocks SIGINT and
  // SIGTERM and takes them with sigtimedwait. An unusable chain file is a
  // failure like any other: logged, status 1.
  return VOK::runApp({launcherComponent, "vok_launcher/src/main", {}, false}, [&] {
    Chain chain = readChainFile(command.options.chainFile);
    LauncherOptions options = command.options;
    options.hangMs = chain.hangMs;
    Supervisor supervisor(std::make_shared<ProcessWrapperLinux>(), std::move(chain.members), options);
    return supervisor.run();
  });
}
