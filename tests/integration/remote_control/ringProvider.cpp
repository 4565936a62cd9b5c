// A provider app of the command feed's name for the tests: creates one
// bramixData ring of the given shared-memory ID, signs in and holds the ring
// until SIGINT or SIGTERM (at most 60 s). With VALUE it writes a record with
// every channel at VALUE every 150 ms; with "alone" after it, it signs in
// nowhere and takes the segment lifetime of 10 ms without a broker.
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "UserDataStruct.h"
#include "configurationDataFactory.h"
#include "localEnvironment.h"
#include "vokConnection.h"

namespace {
volatile std::sig_atomic_t stopped = 0;
void onStop(int) { stopped = 1; }

const char* const kAppName = "Remote_open_control_kit_enabled_target_(Zentor)";

std::unique_ptr<VOK::VokConnection> brokerConnection() {
  ConfigurationData config = ConfigurationDataFactory::CreateDefaultConfiguration();
  config.getAppData().setApplicationName(kAppName);
  auto connection = std::make_unique<VOK::VokConnection>(VOK::VokConnection::Create(config.toString()));
  connection->RequestVokEnvironmentConfig(0);
  return connection;
}
}  // namespace

int main(int argc, char** argv) {
  const bool alone = argc == 4 && std::strcmp(argv[3], "alone") == 0;
  if (argc < 2 || argc > 4 || (argc == 4 && !alone)) {
    std::cerr << "usage: ringProvider SHM_ID [VALUE [alone]]\n";
    return 2;
  }
  std::signal(SIGINT, onStop);
  std::signal(SIGTERM, onStop);
  std::unique_ptr<VOK::VokConnection> connection = alone ? localConnection(10) : brokerConnection();
  UserDataStruct data;
  VOK::ConsistentDataTransfer writer =
      connection->addLifetimeBuffer(argv[1], "test provider", "V0.1", 10, data, 150000, sizeof data);
  std::cout << "ring " << argv[1] << std::endl;
  if (!alone) {
    try {
      connection->Connect();
    } catch (const std::exception& e) {
      std::cout << "sign-in: " << e.what() << std::endl;
    }
  }
  const bool writes = argc >= 3;
  std::memset(data.bramixData, writes ? std::atoi(argv[2]) : 0, sizeof data.bramixData);
  for (int i = 0; i < 400 && !stopped; ++i) {
    if (writes) {
      writer.writeUserData(&data);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  }
  return 0;
}
