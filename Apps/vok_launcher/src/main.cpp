// vok_launcher: starts the broker and its apps as one chain and keeps it running.
#include "ProcessWrapperLinux.h"
#include "chainFile.h"
#include "launcherLog.h"
#include "launcherOptions.h"
#include "supervisor.h"

#include <iostream>
#include <memory>
#include <stdexcept>

int main(int argc, char** argv) {
  LauncherOptions options;
  try {
    options = parseLauncherOptions(argc, argv);
  } catch (const std::invalid_argument& e) {
    launcherLog(LOG_ERROR, e.what());
    std::cerr << launcherUsage();
    return 2;
  }
  if (options.help) {
    std::cout << launcherUsage();
    return 0;
  }
  Chain chain;
  try {
    chain = readChainFile(options.chainFile);
  } catch (const std::invalid_argument& e) {
    launcherLog(LOG_ERROR, e.what());
    return 1;
  }
  options.hangMs = chain.hangMs;
  Supervisor supervisor(std::make_shared<ProcessWrapperLinux>(), std::move(chain.members), options);
  return supervisor.run();
}
