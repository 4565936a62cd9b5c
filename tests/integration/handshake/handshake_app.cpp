// A provider or consumer app built on SocketConnection, pointed at one broker:
//   handshake_app provider|consumer <broker pid>
// Prints "handshake_app: ..." lines: connected, environment, sign-in outcome, reply.
#include "SocketWrapperLinux.h"
#include "VOKException.h"
#include "configurationData.h"
#include "socketConnection.h"
#include "socketHandler.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

namespace {

const std::string kName = "Remote_open_control_kit_enabled_target_(Zentor)";

void say(const std::string& text) {
  std::cout << "handshake_app: " << text << std::endl;
}

ConfigurationData describe(bool provider) {
  ApplicationData app(kName, static_cast<int>(::getpid()), "", "0.1", "", {}, {});
  if (provider) {
    app.add(Provides("Zentor for Bramix", "V0.1", {Symbol("bramixData", "int8_t", 15, 4)}, kName + "Shm", 10));
  } else {
    app.add(Requests("wish to receive remote control", "0.1", {Symbol("bramixData", "int8_t", 15, 0)}, kName));
  }
  return ConfigurationData("ConnectToVOKConfig", "0.1", app, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: handshake_app provider|consumer <broker pid>" << std::endl;
    return 2;
  }
  const bool provider = std::string(argv[1]) == "provider";
  auto handler = std::make_shared<SocketHandler>(std::make_shared<SocketWrapperLinux>(), 0);
  // Not whatever broker pidof lists first: the one under test.
  handler->setUDS(std::atoi(argv[2]));
  VOK::SocketConnection connection(handler);
  connection.Connect(0);
  say(connection.IsConnected() ? "connected" : "not connected");
  auto environment = connection.RequestVokEnvironmentConfig(0);
  if (environment) {
    say("environment: " + environment->getVersion() + " " + std::to_string(environment->getSegmentLifeTime()));
  }
  try {
    connection.SignIn(describe(provider));
  } catch (const VOK::VOKException& e) {
    say(std::string("sign-in exception: ") + e.what());
  }
  say(connection.IsSignedIn() ? "signed in" : "not signed in");
  if (connection.getResponseData() != nullptr) {
    say("reply: " + connection.getResponseData()->toString());
  }
  return 0;
}
