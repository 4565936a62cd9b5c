#pragma once

#include "ISocketHandler.h"
#include "ISocketHandlerFunctions.h"
#include "appList.h"

#include <memory>
#include <set>
#include <string>

class SocketHandler;

namespace broker {

class AppAdmission;

// The broker after its first pass when it runs open (--open): apps may sign
// in at any time, leave and come back. A consumer is answered as soon as all
// of its providers are signed in; an app whose socket closed is forgotten with
// its provides, so that a restarted provider can take its place. A late
// sign-in that fails is dropped alone; the broker goes on.
class OpenDoor {
 public:
  // apps: the list of the first pass, which this object goes on filling. The
  // apps it already names are taken as answered when all their requests were matched.
  OpenDoor(AppList& apps, ISocketHandler& server, std::shared_ptr<ISocketHandlerFunctions> functions,
           unsigned long long lifetime);

  // Until stopProcess: forgets apps that left, admits and signs in every new
  // connection, waiting about 50 ms between looks.
  void serve(SocketHandler& listening, AppAdmission& admission);
  // Reads the sign-in on the admitted descriptor fd, refuses a second provider
  // of a name that has one, then answers every consumer that now has all its providers.
  void signInLate(int fd);
  // Closes and forgets every app whose socket the peer closed.
  void sweepDepartures();

 private:
  void answerWaiting();
  bool providerNameTaken(const ConfigurationData& newcomer) const;
  bool peerClosed(int fd) const;

  AppList& apps;
  ISocketHandler& server;
  std::shared_ptr<ISocketHandlerFunctions> functions;
  unsigned long long lifetime;
  std::set<int> answered;  // descriptors of apps that have had their full reply
};

}  // namespace broker
