// A second provider app of the command feed's name for the tests: signs in
// with one bramixData ring of the given shared-memory ID and holds it until
// SIGINT (at most 60 s).
#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <thread>

#include "UserDataStruct.h"
#include "configurationDataFactory.h"
#include "vokConnection.h"

namespace {
volatile std::sig_atomic_t stopped = 0;
void onInterrupt(int) { stopped = 1; }
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: ringProvider SHM_ID\n";
    return 2;
  }
  std::signal(SIGINT, onInterrupt);
  ConfigurationData config = ConfigurationDataFactory::CreateDefaultConfiguration();
  config.getAppData().setApplicationName("Remote_open_control_kit_enabled_target_(Zentor)");
  VOK::VokConnection connection = VOK::VokConnection::Create(config.toString());
  connection.RequestVokEnvironmentConfig(0);
  UserDataStruct data;
  connection.addLifetimeBuffer(argv[1], "test provider", "V0.1", 10, data, 150000, sizeof data);
  std::cout << "ring " << argv[1] << std::endl;
  try {
    connection.Connect();
  } catch (const std::exception& e) {
    std::cout << "sign-in: " << e.what() << std::endl;
  }
  for (int i = 0; i < 1200 && !stopped; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return 0;
}
